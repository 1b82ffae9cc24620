#include "download/test_http_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>

namespace {

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  return std::string(data, size_t(n));
}

int ListenLocal(int backlog, int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, backlog) != 0)
    throw std::runtime_error("cannot listen on 127.0.0.1");
  socklen_t len = sizeof addr;
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

TTestCertificate TTestCertificate::Make() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* x = X509_new();
  X509_set_version(x, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(x), 1);
  X509_gmtime_adj(X509_getm_notBefore(x), -60);
  X509_gmtime_adj(X509_getm_notAfter(x), 3600);
  X509_set_pubkey(x, key);
  X509_NAME* name = X509_get_subject_name(x);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                             -1, 0);
  X509_set_issuer_name(x, name);
  X509V3_CTX v3;
  X509V3_set_ctx_nodb(&v3);
  X509V3_set_ctx(&v3, x, x, nullptr, nullptr, 0);
  for (auto [nid, value] : {std::pair{NID_subject_alt_name, "IP:127.0.0.1"},
                            std::pair{NID_basic_constraints, "critical,CA:TRUE"}}) {
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &v3, nid, value);
    X509_add_ext(x, ext, -1);
    X509_EXTENSION_free(ext);
  }
  X509_sign(x, key, EVP_sha256());
  TTestCertificate c;
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, x);
  c.CertPem = BioText(bio);
  BIO_free(bio);
  bio = BIO_new(BIO_s_mem());
  PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  c.KeyPem = BioText(bio);
  BIO_free(bio);
  X509_free(x);
  EVP_PKEY_free(key);
  return c;
}

TTestHttpServer::TTestHttpServer(const TTestCertificate* tls) : tls_(tls) {
  if (tls_) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    // The server accepts every version the library has, so the client's choice decides.
    SSL_CTX_set_security_level(ctx, 0);
    SSL_CTX_set_min_proto_version(ctx, TLS1_VERSION);
    BIO* bio = BIO_new_mem_buf(tls_->CertPem.data(), int(tls_->CertPem.size()));
    X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    bio = BIO_new_mem_buf(tls_->KeyPem.data(), int(tls_->KeyPem.size()));
    EVP_PKEY* key = PEM_read_bio_PrivateKey(bio, nullptr, nullptr, nullptr);
    BIO_free(bio);
    SSL_CTX_use_certificate(ctx, cert);
    SSL_CTX_use_PrivateKey(ctx, key);
    X509_free(cert);
    EVP_PKEY_free(key);
    ctx_ = ctx;
  }
  listener_ = ListenLocal(16, port_);
  thread_ = std::thread([this] { Run(); });
}

TTestHttpServer::~TTestHttpServer() {
  Stop();
  if (ctx_) SSL_CTX_free(static_cast<SSL_CTX*>(ctx_));
}

void TTestHttpServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ >= 0) close(listener_);
  listener_ = -1;
}

void TTestHttpServer::Route(const std::string& path, const TTestRoute& route) {
  std::lock_guard lock(mutex_);
  routes_[path] = route;
}

std::vector<std::string> TTestHttpServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<int> TTestHttpServer::TlsVersions() {
  std::lock_guard lock(mutex_);
  return versions_;
}

void TTestHttpServer::Run() {
  const auto end = std::chrono::steady_clock::now() + kLifetime;
  int served = 0;
  while (!stop_ && served < kMaxRequests && std::chrono::steady_clock::now() < end) {
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++served;
    timeval timeout{2, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    Serve(fd);
    close(fd);
  }
}

void TTestHttpServer::Serve(int fd) {
  SSL* ssl = nullptr;
  if (ctx_) {
    ssl = SSL_new(static_cast<SSL_CTX*>(ctx_));
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) != 1) {
      SSL_free(ssl);
      ERR_clear_error();
      return;
    }
  }
  auto receive = [&](char* buf, int n) { return ssl ? SSL_read(ssl, buf, n) : int(recv(fd, buf, size_t(n), 0)); };
  auto send_all = [&](const char* data, size_t n) {
    while (n > 0) {
      const int w = ssl ? SSL_write(ssl, data, int(n)) : int(send(fd, data, n, MSG_NOSIGNAL));
      if (w <= 0) return;
      data += w;
      n -= size_t(w);
    }
  };

  std::string request;
  char buf[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    const int n = receive(buf, sizeof buf);
    if (n <= 0) break;
    request.append(buf, size_t(n));
  }
  const size_t a = request.find(' '), b = a == std::string::npos ? a : request.find(' ', a + 1);
  if (b != std::string::npos) {
    const std::string target = request.substr(a + 1, b - a - 1);
    TTestRoute route{404, "Not Found", "no such file", "", -1};
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(target);
      if (ssl) versions_.push_back(SSL_version(ssl));
      auto it = routes_.find(target);
      if (it != routes_.end()) route = it->second;
    }
    std::string head = "HTTP/1.1 " + std::to_string(route.Status) + " " + route.Reason + "\r\n" +
                       "Content-Length: " + std::to_string(route.Body.size()) + "\r\n" +
                       "Connection: close\r\n" + route.ExtraHeaders + "\r\n";
    send_all(head.data(), head.size());
    const size_t bodyBytes = route.CloseAfter >= 0 ? std::min(route.Body.size(), size_t(route.CloseAfter))
                                                   : route.Body.size();
    send_all(route.Body.data(), bodyBytes);
  }
  if (ssl) {
    SSL_shutdown(ssl);
    SSL_free(ssl);
  }
}

TStalledListener::TStalledListener() {
  listener_ = ListenLocal(0, port_);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(uint16_t(port_));
  // Connect until an attempt stays pending: the queue is then full and later SYNs are dropped.
  for (int i = 0; i < 8 && !stalled_; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    fillers_.push_back(fd);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) continue;
    pollfd p{fd, POLLOUT, 0};
    stalled_ = poll(&p, 1, 200) == 0;
  }
}

TStalledListener::~TStalledListener() {
  for (int fd : fillers_) close(fd);
  close(listener_);
}

int UnusedPort() {
  int port = 0;
  const int fd = ListenLocal(1, port);
  close(fd);
  return port;
}
