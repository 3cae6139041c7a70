#include "explorer/domain_table.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "common/ascii.h"

namespace webhoard {
namespace {

bool LessNoCase(std::string_view a, std::string_view b) {
  return CompareNoCase(a, b) < 0;
}

// Hashing and comparing names without regard to case (ASCII letters).
struct NoCaseHash {
  std::size_t operator()(std::string_view name) const {
    std::size_t hash = 14695981039346656037ull;
    for (const char c : name) {
      hash ^= static_cast<unsigned char>(AsciiLower(c));
      hash *= 1099511628211ull;
    }
    return hash;
  }
};
struct NoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const {
    return a.size() == b.size() && CompareNoCase(a, b) == 0;
  }
};

// Items grouped between two pauses.
constexpr std::size_t kItemsPerPause = 8192;

// The names sorted without regard to case, equal names in their given
// order: each name is lowered once, not at every comparison.
std::vector<std::string> SortedNoCase(const std::vector<DomainEntry>& entries) {
  std::vector<std::string> lowered;
  lowered.reserve(entries.size());
  for (const DomainEntry& entry : entries) lowered.push_back(AsciiLower(entry.Name));
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&lowered](std::size_t a, std::size_t b) { return lowered[a] < lowered[b]; });
  std::vector<std::string> sorted;
  sorted.reserve(entries.size());
  for (const std::size_t i : order) sorted.push_back(entries[i].Name);
  return sorted;
}

}  // namespace

DomainTable RebuildDomainTable(const TCacheItemList& items, const AgeWindow& window,
                               const std::function<void()>& pause) {
  DomainTable table;
  std::unordered_map<std::string_view, std::size_t> position;
  std::size_t seen = 0;
  // The keys point into the items' Domain fields, which outlive the table.
  for (const auto& item : items) {
    if (pause && ++seen % kItemsPerPause == 0) pause();
    if (!item || !window.Contains(item->Date)) continue;
    auto [found, added] = position.try_emplace(item->Domain, table.entries.size());
    if (added) table.entries.push_back({item->Domain});
    DomainEntry& entry = table.entries[found->second];
    switch (item->Category) {
      case kCategoryText:
        ++entry.TextCount;
        break;
      case kCategoryMedia:
        ++entry.MediaCount;
        break;
      case kCategoryOther:
        ++entry.OtherCount;
        break;
      default:
        break;
    }
  }
  if (pause) pause();
  table.sorted_names = SortedNoCase(table.entries);
  if (pause) pause();
  return table;
}

CategoryCounts SumCounts(const std::vector<DomainEntry>& entries,
                         const std::vector<std::string>& names,
                         const std::function<void()>& pause) {
  std::size_t steps = 0;
  auto step = [&] {
    if (pause && ++steps % kItemsPerPause == 0) pause();
  };
  // Looked up without regard to case, without a lowered copy of any name.
  std::unordered_set<std::string_view, NoCaseHash, NoCaseEqual> wanted;
  wanted.reserve(names.size());
  for (const std::string& name : names) {
    step();
    wanted.insert(name);
  }
  CategoryCounts sums;
  for (const DomainEntry& entry : entries) {
    step();
    if (!wanted.contains(entry.Name)) continue;
    sums.text += entry.TextCount;
    sums.media += entry.MediaCount;
    sums.other += entry.OtherCount;
  }
  return sums;
}

std::size_t SortedPosition(const std::vector<std::string>& sorted, std::string_view name) {
  return static_cast<std::size_t>(
      std::upper_bound(sorted.begin(), sorted.end(), name,
                       [](std::string_view a, const std::string& b) { return LessNoCase(a, b); }) -
      sorted.begin());
}

}  // namespace webhoard
