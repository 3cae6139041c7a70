// The hash table of index.dat: a chain of 4096-byte pages, each with 448
// items of (key, record offset). Enumeration walks every item of every page
// in chain order, which is the order WinINet lists entries in.
//
// Page layout:
//   0x00 4 "HASH"   0x04 4 block count (32)
//   0x08 4 file offset of the next page (0 = last)
//   0x0C 4 page number, counting from 0 along the chain
//   0x10 448*8 items: dword key, dword file offset of the record
// Keys: 3 = never used, 1 = freed (the offset is stale), low 3 bits 5 = a
// redirect, bit 0 clear = a URL entry (the other low bits are flags).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/little_endian.h"
#include "platform/index_dat_format.h"

namespace webhoard::index_dat {

inline constexpr std::uint32_t kHashPageSize = 0x1000;
inline constexpr std::uint32_t kHashItemsOffset = 0x10;
inline constexpr std::uint32_t kHashItemsPerPage = 448;
inline constexpr std::uint32_t kHashKeyFreed = 1;
inline constexpr std::uint32_t kHashKeyNeverUsed = 3;

struct HashItem {
  std::uint32_t item_offset = 0;  // file offset of the item itself
  std::uint32_t key = 0;
  std::uint32_t record_offset = 0;  // as stored: not yet checked
};

struct HashWalk {
  std::vector<HashItem> url_items;  // items that name URL entries, in table order
  std::uint32_t pages = 0;
  std::vector<std::uint32_t> page_offsets;
  std::string damage;  // why the walk stopped early; empty when the chain ended soundly
};

// Walks the chain from the header's first page. Stops at a page that is not
// a sound hash page (outside the file, wrong signature, wrong page number),
// which also ends any loop in the chain.
HashWalk WalkHashTable(Bytes file, const Header& header);

// Whether a key names a URL entry.
bool IsUrlKey(std::uint32_t key);

}  // namespace webhoard::index_dat
