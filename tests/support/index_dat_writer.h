// Builds small, sound index.dat files for tests: a header with four cache
// folders, one hash page and one URL record per entry, with the bitmap and
// the counters as WinINet keeps them. Tests then damage the bytes at will.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace webhoard::testing {

struct SyntheticEntry {
  std::string url;
  std::string file_name;          // empty: no cached file
  std::uint8_t folder_index = 0;  // 0xFE: no cache folder
  std::string headers;            // stored as given
  std::uint64_t size = 0;
  std::uint32_t entry_type = 0x1;  // NORMAL_CACHE_ENTRY
  std::uint64_t last_modified = 0;
  std::uint64_t last_access = 0;    // FILETIME
  std::uint32_t last_sync_dos = 0;  // DOS date in the low word, time in the high
  std::uint32_t extra_blocks = 0;   // room after the texts (for large records)
};

struct SyntheticIndex {
  std::string bytes;
  std::vector<std::uint32_t> record_offsets;  // per entry
  std::vector<std::uint32_t> item_offsets;    // per entry: its hash item
};

inline constexpr const char* kSyntheticFolders[4] = {"AAAAAAAA", "BBBBBBBB", "CCCCCCCC",
                                                     "DDDDDDDD"};

// capacity_blocks is rounded up so every entry fits and the file stays at
// least 32 KiB.
SyntheticIndex BuildIndexDat(const std::vector<SyntheticEntry>& entries,
                             bool wine_signature = false);

}  // namespace webhoard::testing
