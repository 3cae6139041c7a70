// The Cache Explorer's age filter: which items are young or old enough to be
// shown, archived or deleted. The window is two date-times (days since
// 1899-12-30, local time), both exclusive; an open upper end is now + 10000
// days and an open lower end 0.
#pragma once

#include <string>
#include <vector>

#include "common/edition.h"

namespace webhoard {

// Days added to now for an open upper end.
inline constexpr double kOpenUpperDays = 10000.0;

enum class AgeMode { kAllAges = 0, kNewerThan = 1, kOlderThan = 2 };
enum class AgeUnit { kHours = 0, kDays = 1, kWeeks = 2 };

struct AgeWindow {
  double lower = 0.0;
  double upper = 0.0;

  // Strictly between the bounds: an item dated exactly at a bound is out.
  bool Contains(double date) const { return lower < date && date < upper; }
};

// The window of a filter, computed once from `now`.
AgeWindow AgeWindowFor(AgeMode mode, int count, AgeUnit unit, double now);
// "All ages": everything dated after 0 and before now + 10000 days.
inline AgeWindow AllAgesWindow(double now) {
  return {0.0, now + kOpenUpperDays};
}

// The numbers offered for a unit: the hours list differs between editions.
std::vector<std::string> AgeBoxItems(Edition edition, AgeUnit unit);

// The captions of the two filter boxes, in their order.
inline const std::vector<std::string> kOldNewBoxItems = {"All ages", "Newer than", "Older than"};
inline const std::vector<std::string> kHDWBoxItems = {"Hour(s)", "Day(s)", "Week(s)"};

}  // namespace webhoard
