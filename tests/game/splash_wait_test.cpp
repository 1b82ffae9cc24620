#include <gtest/gtest.h>

#include "game/splash_wait.h"

namespace {

constexpr double kMsPerDay = 86400000.0;

// A clock that moves only when the wait sleeps, plus whatever start-up took before.
struct TFakeClock {
  double now = 45000.0;  // a date-time value in days
  int32_t sleeps = 0;
  TSplashClock Clock() {
    return {[this] { return now; },
            [this](int32_t ms) {
              ++sleeps;
              now += ms / kMsPerDay;
            }};
  }
};

TEST(SplashWait, StaysAtLeastTwoSecondsAfterAFastStart) {
  for (double startupMs : {0.0, 1.0, 350.0, 1999.0}) {
    TFakeClock c;
    const double start = c.now;
    c.now += startupMs / kMsPerDay;
    WaitForSplash(start, c.Clock());
    EXPECT_GE((c.now - start) * kMsPerDay, 2000.0) << startupMs;
    EXPECT_GE(c.now - start, kSplashDays);
    // It does not overstay: at most one short pause beyond the mark.
    EXPECT_LT((c.now - start) * kMsPerDay, 2000.0 + 1.0 + 100.0) << startupMs;
    EXPECT_GT(c.sleeps, 0);
  }
}

TEST(SplashWait, SlowStartEndsAtOnce) {
  TFakeClock c;
  const double start = c.now;
  c.now += 2500 / kMsPerDay;
  WaitForSplash(start, c.Clock());
  EXPECT_EQ(c.sleeps, 0);
  c.now = start + kSplashDays;  // exactly the mark
  WaitForSplash(start, c.Clock());
  EXPECT_EQ(c.sleeps, 0);
}

TEST(SplashWait, ClockThatJumpsStillEnds) {
  // A clock that jumps forward during the wait ends it at the next reading.
  TFakeClock c;
  const double start = c.now;
  int32_t calls = 0;
  TSplashClock clock{[&] { return c.now; }, [&](int32_t ms) { c.now += (++calls == 2 ? 3000.0 : ms) / kMsPerDay; }};
  WaitForSplash(start, clock);
  EXPECT_EQ(calls, 2);
}

}  // namespace
