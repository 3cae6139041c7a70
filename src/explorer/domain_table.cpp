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

}  // namespace

DomainTable RebuildDomainTable(const TCacheItemList& items, const AgeWindow& window) {
  DomainTable table;
  std::unordered_map<std::string_view, std::size_t> position;
  // The keys point into the items' Domain fields, which outlive the table.
  for (const auto& item : items) {
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
  table.sorted_names.reserve(table.entries.size());
  for (const DomainEntry& entry : table.entries) table.sorted_names.push_back(entry.Name);
  std::stable_sort(table.sorted_names.begin(), table.sorted_names.end(), LessNoCase);
  return table;
}

CategoryCounts SumCounts(const std::vector<DomainEntry>& entries,
                         const std::vector<std::string>& names) {
  std::unordered_set<std::string> wanted;
  wanted.reserve(names.size());
  for (const std::string& name : names) wanted.insert(AsciiLower(name));
  CategoryCounts sums;
  for (const DomainEntry& entry : entries) {
    if (!wanted.contains(AsciiLower(entry.Name))) continue;
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
