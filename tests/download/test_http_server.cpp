#include "download/test_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

sockaddr_in Loopback(int port) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(uint16_t(port));
  return addr;
}

int ListenLocal(int backlog, int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr = Loopback(0);
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
  BIO* bio = BIO_new(BIO_s_mem());
  PEM_write_bio_X509(bio, x);
  char* pem = nullptr;
  const long size = BIO_get_mem_data(bio, &pem);
  TTestCertificate c;
  c.CertPem.assign(pem, size_t(size));
  BIO_free(bio);
  c.Cert.reset(x, [](void* p) { X509_free(static_cast<X509*>(p)); });
  c.Key.reset(key, [](void* p) { EVP_PKEY_free(static_cast<EVP_PKEY*>(p)); });
  return c;
}

TTestHttpServer::TTestHttpServer(const TTestCertificate* tls) {
  if (tls) {
    SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
    // The server accepts every version the library has, so the client's choice decides.
    SSL_CTX_set_security_level(ctx, 0);
    SSL_CTX_set_min_proto_version(ctx, TLS1_VERSION);
    SSL_CTX_use_certificate(ctx, static_cast<X509*>(tls->Cert.get()));
    SSL_CTX_use_PrivateKey(ctx, static_cast<EVP_PKEY*>(tls->Key.get()));
    ctx_.reset(ctx, [](void* p) { SSL_CTX_free(static_cast<SSL_CTX*>(p)); });
  }
  listener_ = ListenLocal(16, port_);
  thread_ = std::thread([this] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      pollfd p{listener_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      timeval timeout{2, 0};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
      setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
      Serve(fd);
      close(fd);
    }
  });
}

TTestHttpServer::~TTestHttpServer() {
  stop_ = true;
  thread_.join();
  close(listener_);
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

void TTestHttpServer::Serve(int fd) {
  std::unique_ptr<SSL, void (*)(SSL*)> ssl(nullptr, SSL_free);
  if (ctx_) {
    ssl.reset(SSL_new(static_cast<SSL_CTX*>(ctx_.get())));
    SSL_set_fd(ssl.get(), fd);
    if (SSL_accept(ssl.get()) != 1) return ERR_clear_error();
  }
  std::string request;
  char buf[2048];
  while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
    const int n = ssl ? SSL_read(ssl.get(), buf, sizeof buf) : int(recv(fd, buf, sizeof buf, 0));
    if (n <= 0) break;
    request.append(buf, size_t(n));
  }
  const size_t a = request.find(' '), b = a == std::string::npos ? a : request.find(' ', a + 1);
  if (b == std::string::npos) return;
  const std::string target = request.substr(a + 1, b - a - 1);
  TTestRoute route{404, "Not Found", "no such file", "", -1};
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(target);
    if (ssl) versions_.push_back(SSL_version(ssl.get()));
    if (auto it = routes_.find(target); it != routes_.end()) route = it->second;
  }
  const size_t bodyBytes = route.CloseAfter >= 0 ? std::min(route.Body.size(), size_t(route.CloseAfter))
                                                 : route.Body.size();
  const std::string answer = "HTTP/1.1 " + std::to_string(route.Status) + " " + route.Reason + "\r\n" +
                             "Content-Length: " + std::to_string(route.Body.size()) + "\r\n" +
                             "Connection: close\r\n" + route.ExtraHeaders + "\r\n" + route.Body.substr(0, bodyBytes);
  for (size_t sent = 0; sent < answer.size();) {
    const char* data = answer.data() + sent;
    const size_t n = answer.size() - sent;
    const int w = ssl ? SSL_write(ssl.get(), data, int(n)) : int(send(fd, data, n, MSG_NOSIGNAL));
    if (w <= 0) break;
    sent += size_t(w);
  }
  if (ssl) SSL_shutdown(ssl.get());
}

TStalledListener::TStalledListener() {
  fds_.push_back(ListenLocal(0, port_));
  const sockaddr_in addr = Loopback(port_);
  // Connect until an attempt stays pending: the queue is then full and later SYNs are dropped.
  for (int i = 0; i < 8 && !stalled_; ++i) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    fds_.push_back(fd);
    if (connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) continue;
    pollfd p{fd, POLLOUT, 0};
    stalled_ = poll(&p, 1, 200) == 0;
  }
}

TStalledListener::~TStalledListener() {
  for (int fd : fds_) close(fd);
}

int UnusedPort() {
  int port = 0;
  close(ListenLocal(1, port));
  return port;
}
