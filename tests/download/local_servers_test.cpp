#include "support/local_servers.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace {

// The processes whose command line holds the given text, as pgrep -f would list them (a process
// that has ended but is not yet reaped has no command line and is not listed). Processes come
// and go while /proc is read: one that went is skipped.
std::vector<pid_t> ProcessesWith(const std::string& text) {
  std::vector<pid_t> found;
  DIR* proc = opendir("/proc");
  if (!proc) return found;
  while (const dirent* entry = readdir(proc)) {
    const std::string name = entry->d_name;
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const int fd = open(("/proc/" + name + "/cmdline").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) continue;
    std::string line;
    char buf[4096];
    for (ssize_t got; (got = read(fd, buf, sizeof buf)) > 0;) line.append(buf, size_t(got));
    close(fd);
    for (char& c : line)
      if (c == '\0') c = ' ';
    if (line.find(text) != std::string::npos) found.push_back(pid_t(std::stoi(name)));
  }
  closedir(proc);
  return found;
}

// The stand-in test program, killed and reaped however the test ends.
struct TChild {
  pid_t Pid = -1;
  ~TChild() { Kill(); }
  void Kill() {
    if (Pid <= 0) return;
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    Pid = -1;
  }
};

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 250; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return done();
}

// A test program killed outright (as ctest kills one at its time-out) takes its HTTP and HTTPS
// servers with it.
TEST(LocalServers, EndWhenTheTestProgramIsKilled) {
  TTempFolder dir;
  int ports[2] = {0, 0};
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t parent = getpid();
  TChild child;
  child.Pid = fork();
  ASSERT_GE(child.Pid, 0);
  if (child.Pid == 0) {
    // The stand-in test program: starts both servers, says where, and waits to be killed (by
    // this test, or with it should the test end first).
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(1);
    close(fds[0]);
    try {
      const TTestCertificate cert = TTestCertificate::Make(dir.Path().string());
      TStaticServer http(dir.Path().string()), https(dir.Path().string(), &cert);
      int started[2] = {http.Running() ? std::stoi(http.Host().substr(10)) : 0,
                        https.Running() ? std::stoi(https.Host().substr(10)) : 0};
      (void)!write(fds[1], started, sizeof started);
      for (;;) pause();
    } catch (...) {
    }
    _exit(1);  // never back into the test runner
  }
  close(fds[1]);
  const bool told = read(fds[0], ports, sizeof ports) == ssize_t(sizeof ports);
  close(fds[0]);
  ASSERT_TRUE(told && ports[0] && ports[1]) << "the servers did not start";
  const std::string httpArgs = "http.server --bind 127.0.0.1 " + std::to_string(ports[0]);
  const std::string httpsArgs = "s_server -accept 127.0.0.1:" + std::to_string(ports[1]);
  EXPECT_EQ(ProcessesWith(httpArgs).size(), 1u);
  EXPECT_EQ(ProcessesWith(httpsArgs).size(), 1u);

  child.Kill();
  for (const std::string& args : {httpArgs, httpsArgs}) {
    EXPECT_TRUE(WaitFor([&] { return ProcessesWith(args).empty(); })) << args << " still runs";
    for (const pid_t left : ProcessesWith(args)) kill(left, SIGKILL);  // not to outlive a failure
  }
}

}  // namespace
