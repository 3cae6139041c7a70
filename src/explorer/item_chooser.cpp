#include "explorer/item_chooser.h"

#include "common/ascii.h"

namespace webhoard {

bool CategoryChecks::Checked(std::int32_t category) const {
  switch (category) {
    case kCategoryText:
      return text;
    case kCategoryMedia:
      return media;
    case kCategoryOther:
      return other;
    default:
      return false;  // a category without a box is never chosen
  }
}

ItemChooser::ItemChooser(const AgeWindow& window, const std::vector<std::string>& domains,
                         const CategoryChecks& checks)
    : window_(window), checks_(checks) {
  domains_.reserve(domains.size());
  for (const std::string& domain : domains) domains_.insert(AsciiLower(domain));
}

bool ItemChooser::Chosen(const TCacheItem& item) const {
  return window_.Contains(item.Date) && checks_.Checked(item.Category) &&
         domains_.contains(AsciiLower(item.Domain));
}

std::vector<TCacheItem*> ItemChooser::ChosenItems(const TCacheItemList& items) const {
  std::vector<TCacheItem*> chosen;
  for (const auto& item : items) {
    if (item && Chosen(*item)) chosen.push_back(item.get());
  }
  return chosen;
}

}  // namespace webhoard
