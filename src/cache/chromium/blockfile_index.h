// The index file of a blockfile cache: its header and its hash table, whose
// buckets start the chains of entry records. Only the header's magic, its
// version and the table's length are needed to walk the cache; its counters
// are hints, kept to compare with what the walk finds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace webhoard {

struct BlockfileIndex {
  std::uint32_t version = 0;         // 0x20000, 0x20001, 0x30000
  std::uint32_t entry_count = 0;     // as the header counts them
  std::uint32_t table_length = 0;    // buckets the header declares
  std::vector<std::uint32_t> table;  // the buckets present in the file (entry addresses, 0 = none)
};

// Reads the index file at `path`. Nullopt, with a note, when it cannot be
// read or is no blockfile index; a table cut short is read as far as it
// goes, with a note.
std::optional<BlockfileIndex> ReadBlockfileIndex(const std::string& path,
                                                 std::vector<std::string>& notes);

}  // namespace webhoard
