// Cache times as item dates. The URL cache gives FILETIME values (100 ns
// ticks since 1601-01-01); an item's Date is a date-time value. The
// conversion goes through a packed DOS date-time (date in the high 16 bits,
// time of day in the low 16 bits, two-second steps) with no time-zone
// adjustment, so the date shows the cache's own clock reading.
#pragma once

#include <cstdint>
#include <optional>

namespace webhoard {

// The packed DOS date-time of a FILETIME, or nullopt when it lies outside
// the years 1980 to 2107 that the packing can hold.
std::optional<std::uint32_t> FileTimeToDosDateTime(std::uint64_t file_time);

// The date-time of a FILETIME; 0 (1899-12-30 00:00) when the packed value,
// read as a signed number, is not positive or cannot be converted. (Packed
// values of the years 2044 and later are negative and so give 0 too.)
double FileTimeToDate(std::uint64_t file_time);

}  // namespace webhoard
