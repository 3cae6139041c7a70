#include "explorer/age_window.h"

namespace webhoard {

AgeWindow AgeWindowFor(AgeMode mode, int count, AgeUnit unit, double now) {
  double span = static_cast<double>(count);
  if (unit == AgeUnit::kHours) span /= 24.0;
  if (unit == AgeUnit::kWeeks) span *= 7.0;
  switch (mode) {
    case AgeMode::kNewerThan:
      return {now - span, now + kOpenUpperDays};
    case AgeMode::kOlderThan:
      return {0.0, now - span};
    case AgeMode::kAllAges:
      break;
  }
  return AllAgesWindow(now);
}

std::vector<std::string> AgeBoxItems(Edition edition, AgeUnit unit) {
  if (unit == AgeUnit::kHours) {
    if (edition == Edition::kInternetExplorer) return {"1", "2", "3", "6", "12", "18"};
    return {"6", "12", "18"};
  }
  return {"1", "2", "3", "4", "5", "6"};
}

}  // namespace webhoard
