#pragma once
#include <sys/resource.h>

// The process's peak resident memory so far, in MiB.
inline double PeakMegabytes() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return double(u.ru_maxrss) / 1024.0;
}
