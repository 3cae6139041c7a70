// The Cache Explorer's domain table: one entry per Domain that has an item
// inside the age window, in the order the domains are first met in the cache
// item list, with per-category counters; and the sorted domain lists the
// dialog shows.
//
// Domains are told apart byte for byte (case counts) in the table, but the
// lists look names up without regard to case. The table is built through a
// hash of the names, so a cache of 100,000 items is grouped in one pass;
// counters are 64-bit, so no count wraps however large the cache.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cache/cache_item.h"
#include "explorer/age_window.h"

namespace webhoard {

struct DomainEntry {
  std::string Name;
  std::uint64_t TextCount = 0;
  std::uint64_t MediaCount = 0;
  std::uint64_t OtherCount = 0;
};

// The three sums the counters show.
struct CategoryCounts {
  std::uint64_t text = 0;
  std::uint64_t media = 0;
  std::uint64_t other = 0;
  std::uint64_t Total() const { return text + media + other; }
  bool operator==(const CategoryCounts&) const = default;
};

struct DomainTable {
  std::vector<DomainEntry> entries;  // first-met order
  // Every entry's Name, sorted without regard to case; names that differ
  // only in case keep the order they were met in.
  std::vector<std::string> sorted_names;
};

// Groups the items dated inside `window` by Domain. An item whose Category
// is not 0, 1 or 2 still lists its domain but counts nowhere. `pause`, when
// given, is called every few thousand items and around the sort, so that a
// window can repaint while a large cache is grouped.
DomainTable RebuildDomainTable(const TCacheItemList& items, const AgeWindow& window,
                               const std::function<void()>& pause = {});

// The sums over the entries whose Name is in `names` (without regard to case).
// `pause` as for RebuildDomainTable.
CategoryCounts SumCounts(const std::vector<DomainEntry>& entries,
                         const std::vector<std::string>& names,
                         const std::function<void()>& pause = {});

// Where `name` goes in a list sorted without regard to case: after every
// entry that compares equal, so equal names keep their arrival order.
std::size_t SortedPosition(const std::vector<std::string>& sorted, std::string_view name);

}  // namespace webhoard
