// The taken-name list: one key (TakenNameKey) for every archive path already
// in use, so that the archive run never gives a new item a name that another
// item owns. Adding a key that is present does nothing. Hashed, because a run
// over a large archive asks it once per candidate name.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace webhoard {

class TakenNames {
 public:
  // Adds a key; false when it was already present.
  bool Add(std::string key) { return keys_.insert(std::move(key)).second; }
  bool Contains(const std::string& key) const { return keys_.count(key) != 0; }
  void Clear() { keys_.clear(); }
  std::size_t size() const { return keys_.size(); }
  bool empty() const { return keys_.empty(); }

 private:
  std::unordered_set<std::string> keys_;
};

}  // namespace webhoard
