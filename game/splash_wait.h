#pragma once
#include <cstdint>
#include <functional>

// The start-up splash stays until at least this long after the start (2.0 s, in days).
inline constexpr double kSplashDays = 2.315e-05;

// The clock the wait reads (days, as a date-time value) and the pause it takes between
// readings (milliseconds; the program's pause lets paint events through).
struct TSplashClock {
  std::function<double()> Now;
  std::function<void(int32_t)> Sleep;
};

// Returns once Now() - startDays is at least kSplashDays; at once when start-up was slower.
void WaitForSplash(double startDays, const TSplashClock& clock);

// The system clock in days since the Unix epoch, and a real pause.
TSplashClock SystemSplashClock();
