#pragma once
#include <exception>
#include <system_error>
#include <mutex>
#include <thread>
#include <vector>

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

// Runs work() on this thread and on up to helpers more at once (work shares itself out), and
// returns once every run has ended. Helpers that cannot be made are done without; the first
// failure of a helper is thrown here, after all have ended.
template <class Work>
void RunAcross(int helpers, Work&& work) {
  std::exception_ptr failed;
  std::mutex guard;
  const auto guarded = [&] {
    try {
      work();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(guard);
      if (!failed) failed = std::current_exception();
    }
  };
  {
    std::vector<std::jthread> running;
    for (int t = 0; t < helpers; ++t) {
      try {
        running.emplace_back(guarded);
      } catch (const std::system_error&) {
        break;
      }
    }
    work();
  }
  if (failed) std::rethrow_exception(failed);
}
