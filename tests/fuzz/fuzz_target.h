#pragma once
// One harness per reader of outside data. With -DZORVA_FUZZ=ON (clang) every harness is its
// own libFuzzer program; in every build test_fuzz replays the seed corpora through them.
#include <cstddef>
#include <cstdint>
#include <string>

using TFuzzTarget = void (*)(const uint8_t* data, size_t size);
bool RegisterFuzzTarget(const char* name, TFuzzTarget target);

// A reader broke its promise: a crash for libFuzzer, a failed test in the replay.
void FuzzCheckFailed(const char* what, const char* file, int line);
#define FUZZ_CHECK(c) ((c) ? (void)0 : FuzzCheckFailed(#c, __FILE__, __LINE__))

#ifdef ZORVA_LIBFUZZER
#define ZORVA_FUZZ_TARGET(name)                                       \
  static void name##Fuzz(const uint8_t*, size_t);                     \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* d, size_t n) { \
    name##Fuzz(d, n);                                                 \
    return 0;                                                         \
  }                                                                   \
  static void name##Fuzz(const uint8_t* data, size_t size)
#else
#define ZORVA_FUZZ_TARGET(name)                                                                \
  static void name##Fuzz(const uint8_t*, size_t);                                              \
  [[maybe_unused]] static const bool name##Registered = RegisterFuzzTarget(#name, name##Fuzz); \
  static void name##Fuzz(const uint8_t* data, size_t size)
#endif

// The input written to a file of that name (which may name a sub-folder) in a private folder
// kept for the whole run.
std::string FuzzInputFile(const std::string& name, const uint8_t* data, size_t size);
// The private folder, ending with '/'.
std::string FuzzFolder();
