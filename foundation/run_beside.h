#pragma once
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#ifdef __linux__
#include <sched.h>
#endif

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

// The cores a split of work may use besides this thread (0 to 7): those the process may run
// on, where the system tells them, else all the machine has.
inline int32_t SpareCores() {
  int32_t cores = int32_t(std::thread::hardware_concurrency());
#ifdef __linux__
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) cores = CPU_COUNT(&allowed);
#endif
  return std::clamp(cores, 1, 8) - 1;
}

// Runs chunk(k) once for every k in 0..count-1, on this thread and up to helpers more (no more
// than there are chunks to share). Which thread runs which chunk is left to chance: a chunk
// writes only what is its own, so that the result never depends on how many threads ran. On a
// busy machine a helper may start late: this thread takes the chunks itself meanwhile, and
// waits only for helpers that are running one, never for one that has not begun. The first
// failure of a chunk is thrown here once no chunk is running.
template <class Chunk>
void RunChunks(int32_t count, int32_t helpers, Chunk&& chunk) {
  struct TShared {
    std::atomic<int32_t> Next{0};
    std::mutex Guard;
    std::condition_variable Idle;
    int32_t Running = 0;  // helpers that may still take a chunk
    bool Closed = false;  // no helper may join any more
    std::exception_ptr Failed;
  };
  const auto shared = std::make_shared<TShared>();
  auto* work = &chunk;
  // Takes chunks until none is left; a failure is kept and the rest still run.
  const auto take = [count](TShared& s, auto* w) {
    for (int32_t k; (k = s.Next.fetch_add(1)) < count;) {
      try {
        (*w)(k);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(s.Guard);
        if (!s.Failed) s.Failed = std::current_exception();
      }
    }
  };
  for (int32_t t = 0; t < std::clamp(count - 1, 0, std::max(helpers, 0)); ++t) {
    try {
      std::thread([shared, work, take] {
        {
          const std::lock_guard<std::mutex> lock(shared->Guard);
          if (shared->Closed) return;  // all taken and done: the chunks may be gone
          ++shared->Running;
        }
        take(*shared, work);
        const std::lock_guard<std::mutex> lock(shared->Guard);
        --shared->Running;
        shared->Idle.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      break;
    }
  }
  take(*shared, work);
  std::unique_lock<std::mutex> lock(shared->Guard);
  shared->Closed = true;
  shared->Idle.wait(lock, [&] { return shared->Running == 0; });
  if (shared->Failed) std::rethrow_exception(shared->Failed);
}
