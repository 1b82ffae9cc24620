#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <new>
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
