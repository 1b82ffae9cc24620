#pragma once
// Download sources on 127.0.0.1 for the download tests: a folder served by Python's plain
// static HTTP server or by OpenSSL's HTTPS server with a certificate made for the test, a
// server that sends its header and then goes silent, and a listener that never accepts.
#include <sys/types.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// A self-signed certificate for 127.0.0.1, made with the openssl tool into folder.
struct TTestCertificate {
  std::string CertFile, KeyFile;
  std::string CertPem;  // for the client to trust
  static TTestCertificate Make(const std::string& folder);
};

// A static web server on the folder, running until the end of the scope. With a certificate
// it speaks HTTPS only; tlsOption narrows its protocols (e.g. "-tls1_3").
class TStaticServer {
 public:
  explicit TStaticServer(const std::string& folder, const TTestCertificate* tls = nullptr,
                         const std::string& tlsOption = "");
  ~TStaticServer();
  TStaticServer(const TStaticServer&) = delete;
  TStaticServer& operator=(const TStaticServer&) = delete;
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  bool Running() const { return running_; }

 private:
  pid_t pid_ = -1;
  int port_ = 0;
  bool running_ = false;
};

// Answers every request with a header announcing 100000 bytes and then sends nothing (or, with
// a trickle, that many bytes a second), keeping the connection open until the end of the scope.
// With answerInfoFile, the info file itself is served whole ("ext:zip").
class TSilentServer {
 public:
  explicit TSilentServer(int trickleBytesPerSecond = 0, bool answerInfoFile = false);
  ~TSilentServer();
  std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }
  int Requests() const { return requests_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
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
