#pragma once
// A small HTTP and HTTPS server on 127.0.0.1 for the download tests: one thread, one request
// per connection, answers from a fixed table. It stops by itself after 30 s even when a test
// forgets it.
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TTestRoute {
  int Status = 200;
  std::string Reason = "OK";
  std::string Body;
  std::string ExtraHeaders;  // whole lines, each ending in "\r\n"
  int CloseAfter = -1;       // >= 0: announce the whole body, send this many bytes, hang up
};

// A self-signed certificate for 127.0.0.1 made with the OpenSSL library.
struct TTestCertificate {
  std::string CertPem;                  // for the client to trust
  std::shared_ptr<void> Cert, Key;      // X509, EVP_PKEY for the server
  static TTestCertificate Make();
};

class TTestHttpServer {
 public:
  // With a certificate the server speaks TLS only.
  explicit TTestHttpServer(const TTestCertificate* tls = nullptr);
  ~TTestHttpServer();
  TTestHttpServer(const TTestHttpServer&) = delete;
  TTestHttpServer& operator=(const TTestHttpServer&) = delete;

  void Route(const std::string& path, const TTestRoute& route);
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> Requests();  // request targets in arrival order
  std::vector<int> TlsVersions();       // negotiated protocol of each TLS request

 private:
  void Serve(int fd);

  std::shared_ptr<void> ctx_;  // SSL_CTX
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<std::string, TTestRoute> routes_;
  std::vector<std::string> requests_;
  std::vector<int> versions_;
  std::thread thread_;
};

// A listening socket whose queue is full, so a connection attempt never completes.
class TStalledListener {
 public:
  TStalledListener();
  ~TStalledListener();
  int Port() const { return port_; }
  bool Stalled() const { return stalled_; }

 private:
  int port_ = 0;
  bool stalled_ = false;
  std::vector<int> fds_;  // the listener, then the connections that fill its queue
};

// A port on 127.0.0.1 where nothing listens (bound once, then released).
int UnusedPort();
