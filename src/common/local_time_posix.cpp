#include <time.h>

#include "common/local_time.h"

namespace webhoard {

std::optional<std::tm> LocalTime(std::time_t t) {
  std::tm local{};
  if (::localtime_r(&t, &local) == nullptr) return std::nullopt;
  return local;
}

}  // namespace webhoard
