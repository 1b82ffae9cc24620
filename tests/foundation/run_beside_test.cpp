#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <new>
#include <set>
#include <stdexcept>
#include <thread>

#include "foundation/run_beside.h"

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
    if (helpers == 0) EXPECT_EQ(seen.size(), 1u);
    if (helpers == 3) EXPECT_GT(seen.size(), 1u);
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
