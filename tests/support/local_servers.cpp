#include "support/local_servers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
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

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in addr = Loopback(port);
  const bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

// Runs the program in folder with its output thrown away; the child's id. The child is killed
// when the test program ends, however it ends (a time-out's kill included). The signal follows
// the forking thread, so servers are started from the test's own thread, which lives as long as
// the test.
pid_t Spawn(const std::string& folder, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // The parent may have gone before the signal was asked for.
  if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
  const int null = open("/dev/null", O_RDWR);
  dup2(null, 0);
  dup2(null, 1);
  dup2(null, 2);
  if (chdir(folder.c_str()) != 0) _exit(127);
  execvp(argv[0], argv.data());
  _exit(127);
}

}  // namespace

TTestCertificate TTestCertificate::Make(const std::string& folder) {
  TTestCertificate c{folder + "/cert.pem", folder + "/key.pem", ""};
  const pid_t pid = Spawn(folder, {"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                                   "-nodes", "-keyout", c.KeyFile, "-out", c.CertFile, "-days", "1", "-subj",
                                   "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1"});
  int status = 0;
  waitpid(pid, &status, 0);
  std::stringstream pem;
  pem << std::ifstream(c.CertFile).rdbuf();
  c.CertPem = pem.str();
  return c;
}

TStaticServer::TStaticServer(const std::string& folder, const TTestCertificate* tls, const std::string& tlsOption) {
  port_ = UnusedPort();
  const std::string port = std::to_string(port_);
  if (tls) {
    std::vector<std::string> args = {"openssl", "s_server",    "-accept", "127.0.0.1:" + port,
                                     "-cert",   tls->CertFile, "-key",    tls->KeyFile,
                                     "-WWW",    "-quiet"};
    if (!tlsOption.empty()) args.push_back(tlsOption);
    pid_ = Spawn(folder, args);
  } else {
    pid_ = Spawn(folder, {"python3", "-m", "http.server", "--bind", "127.0.0.1", port});
  }
  for (int i = 0; i < 200 && !running_; ++i) {
    running_ = Accepts(port_);
    if (!running_) usleep(20000);
  }
}

TStaticServer::~TStaticServer() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
}

TSilentServer::TSilentServer(int trickleBytesPerSecond, bool answerInfoFile) {
  listener_ = ListenLocal(4, port_);
  thread_ = std::thread([this, trickleBytesPerSecond, answerInfoFile] {
    std::vector<int> open;
    auto lastByte = std::chrono::steady_clock::now();
    while (!stop_) {
      const auto now = std::chrono::steady_clock::now();
      if (trickleBytesPerSecond > 0 && now - lastByte >= std::chrono::milliseconds(1000 / trickleBytesPerSecond)) {
        lastByte = now;
        for (int fd : open) (void)!send(fd, "x", 1, MSG_NOSIGNAL);
      }
      pollfd p{listener_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      char buf[4096];
      const ssize_t got = recv(fd, buf, sizeof buf, 0);
      ++requests_;
      if (answerInfoFile && got > 0 && std::string(buf, size_t(got)).find("/info.dat ") != std::string::npos) {
        const char info[] = "HTTP/1.1 200 OK\r\nContent-Length: 7\r\nConnection: close\r\n\r\next:zip";
        (void)!send(fd, info, sizeof info - 1, MSG_NOSIGNAL);
        close(fd);
        continue;
      }
      const char answer[] = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
      (void)!send(fd, answer, sizeof answer - 1, MSG_NOSIGNAL);
      open.push_back(fd);
    }
    for (int fd : open) close(fd);
  });
}

TSilentServer::~TSilentServer() {
  stop_ = true;
  thread_.join();
  close(listener_);
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
