#include "platform/index_dat_delete.h"

#include <algorithm>
#include <string>

#include "platform/index_dat_hash.h"
#include "platform/url_cache.h"

namespace webhoard::index_dat {
namespace {

void SubtractSaturating64(std::uint8_t* p, std::uint64_t amount) {
  const auto value = LoadLE<std::uint64_t>(p);
  StoreLE<std::uint64_t>(p, value > amount ? value - amount : 0);
}

}  // namespace

std::optional<EntryRemoval> FindEntry(Bytes file, const Header& header, std::string_view url,
                                      std::string* damage) {
  // The entry is found by comparing the stored URL, not by hashing it:
  // Internet Explorer and Wine hash a trailing "/" differently, so a file
  // written by one keeps some URLs in buckets the other would not look in.
  const HashWalk walk = WalkHashTable(file, header);
  std::optional<EntryRemoval> found;
  for (const HashItem& item : walk.url_items) {
    if (found) {
      if (item.record_offset == found->record.offset)
        found->item_offsets.push_back(item.item_offset);
      continue;
    }
    auto record = ParseUrlRecord(file, item.record_offset, nullptr);
    if (record && record->url == url) {
      found = EntryRemoval{std::move(*record), {item.item_offset}};
    }
  }
  if (!found) return found;
  const std::uint64_t begin = found->record.offset;
  const std::uint64_t end = begin + std::uint64_t{found->record.blocks} * kBlockSize;
  auto overlaps = [&](std::uint64_t other_begin, std::uint64_t other_end) {
    return other_begin < end && begin < other_end;
  };
  for (std::uint32_t page : walk.page_offsets) {
    if (overlaps(page, std::uint64_t{page} + kHashPageSize)) {
      if (damage != nullptr)
        *damage = "the record at " + std::to_string(begin) + " covers a hash page";
      return std::nullopt;
    }
  }
  for (const HashItem& item : walk.url_items) {
    if (item.record_offset == begin) continue;
    const auto other = ParseUrlRecord(file, item.record_offset, nullptr);
    if (other &&
        overlaps(other->offset, other->offset + std::uint64_t{other->blocks} * kBlockSize)) {
      if (damage != nullptr) *damage = "the record at " + std::to_string(begin) + " covers another";
      return std::nullopt;
    }
  }
  return found;
}

void RemoveEntry(std::span<std::uint8_t> file, const EntryRemoval& removal) {
  for (std::uint32_t item : removal.item_offsets)
    StoreLE<std::uint32_t>(file.data() + item, kHashKeyFreed);

  const UrlRecord& record = removal.record;
  const auto capacity = std::min(LoadLE<std::uint32_t>(file.data() + kOffCapacity), kMaxBlocks);
  const std::uint32_t first_block = (record.offset - kHeaderSize) / kBlockSize;
  // A hash item may still point at a record whose blocks were freed before;
  // then its sizes were taken off already and only the item changes.
  const bool allocated = BlockInUse(file, first_block);
  std::uint32_t cleared = 0;
  for (std::uint64_t b = first_block;
       b < std::uint64_t{first_block} + record.blocks && b < capacity; ++b) {
    std::uint8_t& byte = file[kBitmapOffset + b / 8];
    const auto mask = static_cast<std::uint8_t>(1u << (b % 8));
    if (byte & mask) {
      byte = static_cast<std::uint8_t>(byte & ~mask);
      ++cleared;
    }
  }
  std::uint8_t* in_use = file.data() + kOffBlocksInUse;
  const auto used = LoadLE<std::uint32_t>(in_use);
  StoreLE<std::uint32_t>(in_use, used > cleared ? used - cleared : 0);
  if (!allocated) return;

  const auto folder_count = LoadLE<std::uint32_t>(file.data() + kOffFolderCount);
  if (record.folder_index < folder_count && record.folder_index < kMaxCacheFolders) {
    std::uint8_t* count = file.data() + kOffFolders + record.folder_index * kFolderEntrySize;
    const auto files = LoadLE<std::uint32_t>(count);
    if (files > 0) StoreLE<std::uint32_t>(count, files - 1);
  }
  const bool sticky = (record.cache_entry_type & kStickyCacheEntry) != 0;
  SubtractSaturating64(file.data() + (sticky ? kOffExemptUsage : kOffUsage), record.size);
}

}  // namespace webhoard::index_dat
