#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "fuzz/fuzz_target.h"
#include "support/temp_folder.h"
#ifdef ZORVA_LIBFUZZER
#include <QGuiApplication>
#else
#include <gtest/gtest.h>

#include "fuzz/fuzz_registry.h"
#endif

std::string FuzzFolder() {
  static TTempFolder folder;
  return folder.Path().string() + "/";
}

std::string FuzzInputFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = FuzzFolder() + name;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), std::streamsize(size));
  return path;
}

#ifdef ZORVA_LIBFUZZER
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6\nleak:libfontconfig\nleak:LLVMFuzzerInitialize\n";
}

// The readers draw text and load the shape file as the game does: a Qt application on the
// offscreen platform and the source tree's program folder.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("ZORVA_DATA_DIR", ZORVA_SOURCE_DIR "/data", 0);
  // Never destroyed: at exit Qt's thread storage is gone before static objects are.
  new QGuiApplication(*argc, *argv);
  return 0;
}

bool RegisterFuzzTarget(const char*, TFuzzTarget) { return true; }
void FuzzCheckFailed(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: broken promise: %s\n", file, line, what);
  std::abort();
}
#else
std::map<std::string, TFuzzTarget>& FuzzTargets() {
  static std::map<std::string, TFuzzTarget> targets;
  return targets;
}
bool RegisterFuzzTarget(const char* name, TFuzzTarget target) {
  FuzzTargets()[name] = target;
  return true;
}
void FuzzCheckFailed(const char* what, const char* file, int line) {
  ADD_FAILURE_AT(file, line) << "broken promise: " << what;
}
#endif
