#pragma once
#include <exception>
#include <system_error>
#include <thread>

// Runs aside() on a thread of its own while this thread runs here(), and returns once both are
// done. Where no thread is to be had, aside() runs after here(). What aside() throws is thrown
// here, after the join, as if it had run on this thread.
template <class Aside, class Here>
void RunBeside(Aside&& aside, Here&& here) {
  std::exception_ptr failed;
  const auto guarded = [&] {
    try {
      aside();
    } catch (...) {
      failed = std::current_exception();
    }
  };
  std::jthread helper;
  try {
    helper = std::jthread(guarded);
  } catch (const std::system_error&) {
  }
  here();
  if (helper.joinable())
    helper.join();
  else
    guarded();
  if (failed) std::rethrow_exception(failed);
}
