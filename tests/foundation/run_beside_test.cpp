#include "foundation/run_beside.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

// Both parts run, the one aside on another thread, and the call returns after both.
TEST(RunBeside, RunsBothPartsAndReturnsAfterBoth) {
  std::atomic<int> done{0};
  std::thread::id asideThread, hereThread;
  RunBeside(
      [&] {
        asideThread = std::this_thread::get_id();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        done += 1;
      },
      [&] {
        hereThread = std::this_thread::get_id();
        done += 2;
      });
  EXPECT_EQ(done, 3);
  EXPECT_EQ(hereThread, std::this_thread::get_id());
  EXPECT_NE(asideThread, hereThread);
}

// A failure aside reaches the caller once this thread's part is done; one here still waits for
// the part aside.
TEST(RunBeside, FailuresReachTheCallerAfterBothPartsEnded) {
  bool hereRan = false;
  EXPECT_THROW(RunBeside([] { throw std::bad_alloc(); }, [&] { hereRan = true; }), std::bad_alloc);
  EXPECT_TRUE(hereRan);
  std::atomic<bool> asideEnded{false};
  EXPECT_THROW(RunBeside(
                   [&] {
                     std::this_thread::sleep_for(std::chrono::milliseconds(20));
                     asideEnded = true;
                   },
                   [] { throw std::runtime_error("here"); }),
               std::runtime_error);
  EXPECT_TRUE(asideEnded);
}

// Work shared out over this thread and helpers covers every item once; a failure on a helper
// reaches the caller after every run has ended; no helpers is this thread alone.
TEST(RunAcross, SharesTheWorkAndPassesOnAFailure) {
  for (int helpers : {0, 1, 3}) {
    std::atomic<int> next{0}, sum{0};
    std::mutex seenGuard;
    std::set<std::thread::id> seen;
    RunAcross(helpers, [&] {
      for (int i; (i = next.fetch_add(1)) < 200;) {
        sum += i;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        const std::lock_guard<std::mutex> lock(seenGuard);
        seen.insert(std::this_thread::get_id());
      }
    });
    EXPECT_EQ(sum, 199 * 200 / 2) << helpers;
    EXPECT_EQ(seen.count(std::this_thread::get_id()), 1u) << helpers;
    if (helpers == 0) {
      EXPECT_EQ(seen.size(), 1u);
    }
    if (helpers == 3) {
      EXPECT_GT(seen.size(), 1u);
    }
  }
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<int> ended{0};
  EXPECT_THROW(RunAcross(2,
                         [&] {
                           std::this_thread::sleep_for(std::chrono::milliseconds(10));
                           ++ended;
                           if (std::this_thread::get_id() != caller) throw std::bad_alloc();
                         }),
               std::bad_alloc);
  EXPECT_EQ(ended, 3);
}

// A split of work uses the cores the thread may run on, not all the machine has: held to one or
// two of its allowed cores, a thread sees none or one to spare.
TEST(SpareCores, FollowTheCoresTheThreadMayRunOn) {
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
  std::vector<int> cores;
  for (int c = 0; c < CPU_SETSIZE && cores.size() < 2; ++c)
    if (CPU_ISSET(c, &allowed)) cores.push_back(c);
  EXPECT_EQ(SpareCores(), std::clamp(CPU_COUNT(&allowed), 1, 8) - 1);
  for (size_t held = 1; held <= cores.size(); ++held) {
    int seen = -1;
    std::thread([&] {
      cpu_set_t few;
      CPU_ZERO(&few);
      for (size_t k = 0; k < held; ++k) CPU_SET(cores[k], &few);
      if (sched_setaffinity(0, sizeof few, &few) == 0) seen = SpareCores();
    }).join();
    EXPECT_EQ(seen, int(held) - 1) << held;
  }
}

// Chunks shared out run once each, whatever the number of helpers; a failure in a chunk, on a
// helper or here, reaches the caller once no chunk is running, and the other chunks still run.
TEST(RunChunks, RunsEveryChunkOnceAndPassesOnAFailure) {
  for (int helpers : {0, 1, 3, 7, 40}) {
    for (int count : {0, 1, 5, 64}) {
      std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
      RunChunks(count, helpers, [&](int32_t k) {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
        ++runs[size_t(k)];
      });
      for (int k = 0; k < count; ++k) EXPECT_EQ(runs[size_t(k)], 1) << helpers << " helpers, chunk " << k;
    }
  }
  const std::thread::id caller = std::this_thread::get_id();
  for (bool onHelper : {false, true}) {
    std::atomic<int> ran{0};
    std::atomic<bool> thrown{false}, failingSideRan{false};
    EXPECT_THROW(RunChunks(32, 3,
                           [&](int32_t) {
                             const bool here = std::this_thread::get_id() == caller;
                             const bool failingSide = here != onHelper;
                             // The other side waits for the failing side to take a chunk, however
                             // late it starts: on a busy machine either may find all taken.
                             for (int t = 0; !failingSide && !failingSideRan && t < 5000; ++t)
                               std::this_thread::sleep_for(std::chrono::milliseconds(1));
                             if (failingSide) failingSideRan = true;
                             std::this_thread::sleep_for(std::chrono::microseconds(300));
                             ++ran;
                             if (failingSide && !thrown.exchange(true)) throw std::bad_alloc();
                           }),
                 std::bad_alloc)
        << onHelper;
    EXPECT_EQ(ran, 32) << onHelper;
  }
}
