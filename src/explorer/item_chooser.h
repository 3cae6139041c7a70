// Which cache items the Cache Explorer's Archive and Delete commands take:
// an item is chosen when its Date lies strictly inside the age window, its
// Domain is in the "Archive/Delete" list (looked up without regard to case)
// and the box of its Category is checked.
#pragma once

#include <string>
#include <unordered_set>
#include <vector>

#include "cache/cache_item.h"
#include "explorer/age_window.h"

namespace webhoard {

// The three "File Types" boxes.
struct CategoryChecks {
  bool text = true;
  bool media = true;
  bool other = true;
  bool Checked(std::int32_t category) const;
};

class ItemChooser {
 public:
  // `domains`: the entries of the "Archive/Delete" list.
  ItemChooser(const AgeWindow& window, const std::vector<std::string>& domains,
              const CategoryChecks& checks);

  bool Chosen(const TCacheItem& item) const;
  // The chosen items of `items`, in list order (borrowed).
  std::vector<TCacheItem*> ChosenItems(const TCacheItemList& items) const;

 private:
  AgeWindow window_;
  std::unordered_set<std::string> domains_;  // in lower case
  CategoryChecks checks_;
};

}  // namespace webhoard
