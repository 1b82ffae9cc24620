#pragma once
#include <cstdlib>
#include <string>

#include "support/temp_folder.h"

// The player's folders (home, data, settings) inside a test's temporary folder.
inline void UsePrivateHome(const TTempFolder& dir) {
  const std::string home = dir.Path().string();
  setenv("HOME", home.c_str(), 1);
  setenv("XDG_DATA_HOME", (home + "/data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (home + "/config").c_str(), 1);
}
