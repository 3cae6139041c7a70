// The one line `webhoard archive` ends with: what the archive now holds.
#pragma once

#include <cstdint>
#include <string>

namespace webhoard::cli {

// "212 KiB", "3.4 MiB": a byte count in binary units, one decimal below 10.
std::string HumanSize(std::uint64_t bytes);

// "14 items of 3 sites, 212 KiB": the catalogue's records, their sites, and
// the bytes of every file in the folder.
std::string ArchiveContents(const std::string& folder);

}  // namespace webhoard::cli
