#include "platform/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

std::string DataHome(const TUserEnvironment& env) {
  if (!env.DataHome.empty() && env.DataHome[0] == '/') return env.DataHome;
  return env.Home + "/.local/share";
}

// The shell folder a value name stands for; false when the key has no such value.
bool ShellFolder(const TUserEnvironment& env, const std::string& valueName, std::string& folder) {
  if (SameText(valueName, "Personal")) {
    folder = XdgUserDir(env, "DOCUMENTS");
  } else if (SameText(valueName, "My Pictures")) {
    folder = XdgUserDir(env, "PICTURES");
  } else if (SameText(valueName, "Local AppData")) {
    folder = DataHome(env);
  } else {
    return false;
  }
  return true;
}

bool ReadValue(TRegistry& registry, TRegistryRoot root, const std::string& keyPath, const std::string& valueName,
               std::string& value) {
  value.clear();
  if (root != TRegistryRoot::CurrentUser || !SameText(keyPath, kShellFoldersKey)) {
    registry.RegReadError = kRegKeyMissing;
    return false;
  }
  if (!ShellFolder(registry.Environment, valueName, value)) {
    registry.RegReadError = kRegValueMissing;
    return false;
  }
  registry.RegReadError = kRegReadOk;
  return true;
}

}  // namespace

TUserEnvironment CurrentUserEnvironment() {
  TUserEnvironment env;
  env.Home = Env("HOME");
  if (env.Home.empty()) {
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) env.Home = pw->pw_dir;
  }
  env.ConfigHome = Env("XDG_CONFIG_HOME");
  env.DataHome = Env("XDG_DATA_HOME");
  return env;
}

std::string XdgUserDir(const TUserEnvironment& env, const std::string& name) {
  const std::string config =
      !env.ConfigHome.empty() && env.ConfigHome[0] == '/' ? env.ConfigHome : env.Home + "/.config";
  std::ifstream in(config + "/user-dirs.dirs");
  const std::string key = "XDG_" + name + "_DIR=";
  std::string line, found;
  while (std::getline(in, line)) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
    std::string value = line.substr(start + key.size());
    if (value.size() >= 2 && value.front() == '"') {
      const size_t close = value.find('"', 1);
      if (close == std::string::npos) continue;
      value = value.substr(1, close - 1);
    }
    // The format allows only "$HOME/..." or an absolute path; the last entry wins.
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/')) {
      found = env.Home + value.substr(5);
    } else if (!value.empty() && value[0] == '/') {
      found = value;
    }
  }
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found.empty() ? env.Home : found;
}

void RegReadString(TRegistry& registry, TRegistryRoot root, const std::string& keyPath, const std::string& valueName,
                   std::string& result) {
  ReadValue(registry, root, keyPath, valueName, result);
}

int32_t RegReadInteger(TRegistry& registry, TRegistryRoot root, const std::string& keyPath,
                       const std::string& valueName) {
  std::string text;
  if (!ReadValue(registry, root, keyPath, valueName, text)) return 0;
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != 0 || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
    registry.RegReadError = kRegValueMissing;
    return 0;
  }
  return int32_t(v);
}
