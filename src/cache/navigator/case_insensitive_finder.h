// Finds a file whose name matches without regard to case, as Windows does.
//
// The index stores file names the way Windows saw them, and the database
// reader lower-cases them; a Linux file system compares names exactly. The
// finder lists each folder once per read and looks names up in that listing,
// so a large index costs one listing per folder, not one per entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace webhoard {

class CaseInsensitiveFinder {
 public:
  // The real path of `folder` + `relative` ("/"-separated), each component of
  // `relative` matched exactly when it exists, else without regard to ASCII
  // case; nullopt when no regular file matches. `folder` is used as given
  // (empty = the current folder) and ends in "/" or is empty.
  std::optional<std::string> Find(const std::string& folder, std::string_view relative);

  // Folders listed so far (for tests of the once-per-folder promise).
  std::size_t folders_listed() const { return listings_.size(); }

 private:
  // Lower-cased name -> real name; of names that differ only in case, the
  // lowest in byte order, so the choice does not depend on listing order.
  using Listing = std::unordered_map<std::string, std::string>;
  const Listing& ListFolder(const std::string& folder);

  std::unordered_map<std::string, Listing> listings_;
};

}  // namespace webhoard
