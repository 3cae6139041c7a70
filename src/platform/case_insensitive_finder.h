// Finds a file whose name matches without regard to case, as Windows does.
//
// Browser indexes and registry values store file names the way Windows saw
// them (and the Navigator database reader lower-cases them); a Linux file
// system compares names exactly. The finder lists each folder once and looks
// names up in that listing, so a large index costs one listing per folder,
// not one per entry. On Windows the exact look-up already ignores case, so a
// folder is listed there only for a name that is missing altogether.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace webhoard {

class CaseInsensitiveFinder {
 public:
  // The real path of `folder` + `relative` ("/"-separated), each component of
  // `relative` matched exactly when it exists, else without regard to ASCII
  // case; nullopt when no regular file matches. Of several spellings that
  // fit (a folder on the way, a regular file at the end), the lowest in byte
  // order, so the answer does not depend on the listing order. `folder` is
  // used as given (empty = the current folder) and ends in "/" or is empty.
  std::optional<std::string> Find(const std::string& folder, std::string_view relative);

  // Folders listed so far (for tests of the once-per-folder promise).
  std::size_t folders_listed() const { return listings_.size(); }

 private:
  // Lower-cased name -> the real names that lower-case to it, in byte order.
  using Listing = std::unordered_map<std::string, std::vector<std::string>>;
  const Listing& ListFolder(const std::string& folder);

  std::unordered_map<std::string, Listing> listings_;
};

}  // namespace webhoard
