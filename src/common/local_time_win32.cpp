#include <time.h>

#include "common/local_time.h"

namespace webhoard {

// The C runtime's localtime_s takes its arguments in the opposite order to
// the POSIX call and answers an error number.
std::optional<std::tm> LocalTime(std::time_t t) {
  std::tm local{};
  if (::localtime_s(&local, &t) != 0) return std::nullopt;
  return local;
}

}  // namespace webhoard
