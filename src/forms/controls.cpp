#include "forms/controls.h"

#include "explorer/domain_table.h"

namespace webhoard {

std::string ComboBox::Text() const {
  if (item_index < 0 || static_cast<std::size_t>(item_index) >= items.size()) return {};
  return items[static_cast<std::size_t>(item_index)];
}

// The only sorted lists are the Cache Explorer's domain lists, so they sort
// as the domain table does.
std::size_t ListBox::AddSorted(const std::string& name) {
  const std::size_t at = SortedPosition(items, name);
  items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), name);
  selected.insert(selected.begin() + static_cast<std::ptrdiff_t>(at), false);
  return at;
}

void ListBox::Delete(std::size_t index) {
  items.erase(items.begin() + static_cast<std::ptrdiff_t>(index));
  selected.erase(selected.begin() + static_cast<std::ptrdiff_t>(index));
}

void ListBox::SelectOnly(std::size_t index) {
  selected.assign(items.size(), false);
  if (index < selected.size()) selected[index] = true;
}

}  // namespace webhoard
