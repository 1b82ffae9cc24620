#include "support/local_servers.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace {

// The processes whose command line holds the given text, as pgrep -f would list them (a process
// that has ended but is not yet reaped has no command line and is not listed).
std::vector<pid_t> ProcessesWith(const std::string& text) {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "cmdline", std::ios::binary);
    std::string line((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (char& c : line)
      if (c == '\0') c = ' ';
    if (line.find(text) != std::string::npos) found.push_back(pid_t(std::stoi(name)));
  }
  return found;
}

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
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The stand-in test program: starts both servers, says where, and waits to be killed.
    close(fds[0]);
    const TTestCertificate cert = TTestCertificate::Make(dir.Path().string());
    TStaticServer http(dir.Path().string()), https(dir.Path().string(), &cert);
    int started[2] = {http.Running() ? std::stoi(http.Host().substr(10)) : 0,
                      https.Running() ? std::stoi(https.Host().substr(10)) : 0};
    (void)!write(fds[1], started, sizeof started);
    for (;;) pause();
  }
  close(fds[1]);
  const bool told = read(fds[0], ports, sizeof ports) == ssize_t(sizeof ports);
  close(fds[0]);
  if (!told || !ports[0] || !ports[1]) {
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    FAIL() << "the servers did not start";
  }
  const std::string httpArgs = "http.server --bind 127.0.0.1 " + std::to_string(ports[0]);
  const std::string httpsArgs = "s_server -accept 127.0.0.1:" + std::to_string(ports[1]);
  EXPECT_EQ(ProcessesWith(httpArgs).size(), 1u);
  EXPECT_EQ(ProcessesWith(httpsArgs).size(), 1u);

  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  for (const std::string& args : {httpArgs, httpsArgs}) {
    EXPECT_TRUE(WaitFor([&] { return ProcessesWith(args).empty(); })) << args << " still runs";
    for (const pid_t left : ProcessesWith(args)) kill(left, SIGKILL);  // not to outlive a failure
  }
}

}  // namespace
