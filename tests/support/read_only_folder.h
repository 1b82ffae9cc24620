#pragma once
// A folder that nothing can be written in for the scope, for a test run as root too: chmod alone
// does not stop root, so this thread also gives up its power to override file permissions (a
// process that is not root has none to give up). The folder is made when missing.
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

class TReadOnlyFolder {
 public:
  explicit TReadOnlyFolder(std::string path) : path_(std::move(path)) {
    std::filesystem::create_directories(path_);
    chmod(path_.c_str(), 0555);
    if (Capabilities(false, data_)) {
      __user_cap_data_struct dropped[2] = {data_[0], data_[1]};
      dropped[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
      dropped[0].effective &= ~(1u << CAP_DAC_READ_SEARCH);
      dropped_ = Capabilities(true, dropped);
    }
  }
  ~TReadOnlyFolder() {
    if (dropped_) Capabilities(true, data_);
    chmod(path_.c_str(), 0755);
  }
  TReadOnlyFolder(const TReadOnlyFolder&) = delete;
  TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

  // True when a folder cannot be made in it now (the test's premise).
  bool Holds() const {
    const std::string probe = path_ + "/probe";
    if (mkdir(probe.c_str(), 0755) != 0) return true;
    rmdir(probe.c_str());
    return false;
  }

 private:
  static bool Capabilities(bool set, __user_cap_data_struct* data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
  }

  std::string path_;
  __user_cap_data_struct data_[2] = {};
  bool dropped_ = false;
};
