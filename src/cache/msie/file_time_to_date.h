// Cache times as item dates. The URL cache gives FILETIME values (100 ns
// ticks since 1601-01-01); an item's Date is a date-time value. The date is
// taken with no time-zone adjustment, so it shows the cache's own clock
// reading, in the two-second steps of the packed DOS date-time (date in the
// high 16 bits, time of day in the low 16 bits) that index.dat keeps its
// sync times in.
#pragma once

#include <cstdint>
#include <optional>

namespace webhoard {

// The packed DOS date-time of a FILETIME, or nullopt when it lies outside
// the years 1980 to 2107 that the packing can hold.
std::optional<std::uint32_t> FileTimeToDosDateTime(std::uint64_t file_time);

// The date-time of a FILETIME, seconds rounded down to an even number; 0
// (1899-12-30 00:00, "unknown") for 0 and for any time before 1980 or after
// the year 9999.
double FileTimeToDate(std::uint64_t file_time);

}  // namespace webhoard
