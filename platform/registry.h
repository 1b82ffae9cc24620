#pragma once
#include <cstdint>
#include <string>

// The read-only registry the game was written against, answered from the Linux user's
// folders: the current user's shell folders "Personal" (documents), "My Pictures" and
// "Local AppData" come from the XDG user directories; every other key is absent.

enum class TRegistryRoot { CurrentUser, LocalMachine };

inline constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Values of RegReadError.
inline constexpr int32_t kRegReadOk = 0;
inline constexpr int32_t kRegKeyNotReadable = -1;
inline constexpr int32_t kRegKeyMissing = -3;
inline constexpr int32_t kRegValueMissing = -4;

// Where the answers come from; CurrentUserEnvironment() reads $HOME, $XDG_CONFIG_HOME and
// $XDG_DATA_HOME, tests fill it by hand.
struct TUserEnvironment {
  std::string Home;
  std::string ConfigHome;  // empty: Home/.config
  std::string DataHome;    // empty: Home/.local/share
};
TUserEnvironment CurrentUserEnvironment();

// The folder `xdg-user-dir NAME` names (NAME such as "DOCUMENTS" or "PICTURES"): the entry
// XDG_NAME_DIR of user-dirs.dirs in the config folder, "$HOME"-relative or absolute, else Home.
std::string XdgUserDir(const TUserEnvironment& env, const std::string& name);

// The reader with its error code of the last read.
struct TRegistry {
  TUserEnvironment Environment;
  int32_t RegReadError = kRegReadOk;
};

// Result is emptied first; keys and value names are compared without regard to case.
void RegReadString(TRegistry& registry, TRegistryRoot root, const std::string& keyPath, const std::string& valueName,
                   std::string& result);
// 0 when the value cannot be read; a value that holds no whole number counts as missing.
int32_t RegReadInteger(TRegistry& registry, TRegistryRoot root, const std::string& keyPath,
                       const std::string& valueName);
