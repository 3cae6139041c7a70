#include "common/clock.h"

#include <chrono>
#include <ctime>

#include "common/date_time.h"

namespace webhoard {
namespace {
bool g_fixed = false;
double g_fixed_now = 0.0;
}  // namespace

double Now() {
  if (g_fixed) return g_fixed_now;
  const auto now = std::chrono::system_clock::now();
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
  return DateTimeFromUnixLocal(seconds) + static_cast<double>(ms % 1000) / (kSecondsPerDay * 1000.0);
}

ScopedFixedClock::ScopedFixedClock(double fixed_now) : had_previous_(g_fixed), previous_(g_fixed_now) {
  g_fixed = true;
  g_fixed_now = fixed_now;
}

ScopedFixedClock::~ScopedFixedClock() {
  g_fixed = had_previous_;
  g_fixed_now = previous_;
}

}  // namespace webhoard
