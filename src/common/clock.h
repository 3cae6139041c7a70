// The current date-time, behind one seam so tests can fix "now".
#pragma once

namespace webhoard {

// Now as a local date-time value (days since 1899-12-30).
double Now();

// While alive, Now() answers `fixed_now`. Test use only; not thread-safe.
class ScopedFixedClock {
 public:
  explicit ScopedFixedClock(double fixed_now);
  ~ScopedFixedClock();
  ScopedFixedClock(const ScopedFixedClock&) = delete;
  ScopedFixedClock& operator=(const ScopedFixedClock&) = delete;

 private:
  bool had_previous_;
  double previous_;
};

}  // namespace webhoard
