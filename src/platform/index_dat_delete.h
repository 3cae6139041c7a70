// Removing one entry from index.dat the way WinINet does, so that WinINet
// (Internet Explorer's and Wine's) still opens the file afterwards: the
// entry's hash item becomes "freed" (key 1, stale offset kept), the record's
// blocks are cleared in the allocation bitmap and taken off the blocks in
// use, its cache folder's file count and the cache usage (or the exempt
// usage for a sticky entry) go down. The record's bytes stay where they
// were, as WinINet leaves them. Redirects to the entry are left alone: they
// stop working because the hash item no longer carries their key.
//
// This module edits bytes in memory; url_cache_posix.cpp locks the file,
// deletes the cached file and writes the result.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/index_dat_format.h"

namespace webhoard::index_dat {

struct EntryRemoval {
  UrlRecord record;
  std::vector<std::uint32_t> item_offsets;  // every hash item naming the record
};

// The first entry in hash-table order whose URL is exactly `url`. Answers
// nullopt when there is none, and also (with `damage` saying why) when the
// record's blocks reach over a hash page or another entry's record: freeing
// them would hand live data to the next entry WinINet writes.
std::optional<EntryRemoval> FindEntry(Bytes file, const Header& header, std::string_view url,
                                      std::string* damage = nullptr);

// Applies the removal to the bytes of a file that passed CheckOpenInvariants;
// the result passes them too.
void RemoveEntry(std::span<std::uint8_t> file, const EntryRemoval& removal);

}  // namespace webhoard::index_dat
