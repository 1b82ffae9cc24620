#include "game/splash_wait.h"

#include <chrono>
#include <cmath>
#include <thread>

void WaitForSplash(double startDays, const TSplashClock& clock) {
  constexpr double kMsPerDay = 86400000.0;
  for (;;) {
    const double left = kSplashDays - (clock.Now() - startDays);
    if (left <= 0) return;
    // Sleep what is left rather than spin; the clock decides when it is over.
    const double ms = std::ceil(left * kMsPerDay);
    clock.Sleep(int32_t(ms < 1 ? 1 : ms > 100 ? 100 : ms));
  }
}

TSplashClock SystemSplashClock() {
  TSplashClock c;
  c.Now = [] {
    const auto t = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(t).count() / 86400.0;
  };
  c.Sleep = [](int32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
  return c;
}
