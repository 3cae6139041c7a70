// The calendar fields of a moment in local time, through the C library's
// time-zone rules. The thread-safe call differs between systems
// (localtime_r, localtime_s), so it sits behind this one function.
#pragma once

#include <ctime>
#include <optional>

namespace webhoard {

// The local calendar fields of `t`, or nullopt when the C library cannot
// convert it (a moment outside its range).
std::optional<std::tm> LocalTime(std::time_t t);

}  // namespace webhoard
