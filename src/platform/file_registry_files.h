// The file-system steps under FileRegistry that differ between systems:
// private folders, the lock file, telling a missing file from an unreadable
// one, and keeping a damaged file aside without replacing another.
#pragma once

#include <cstdint>
#include <string>

namespace webhoard::registry_files {

// Creates the folder and the folders above it, readable by the user alone
// (settings are the user's own business); true when it exists afterwards.
bool MakePrivateFolders(const std::string& folder);

// True only when `path` names nothing at all (a file that exists but cannot
// be read is not missing: it reads as damaged).
bool IsMissing(const std::string& path);

// Keeps the file under path + ".damaged" (or ".damaged.1", ".damaged.2",
// ...), never replacing a file already kept; false when it cannot.
bool KeepDamagedCopy(const std::string& path);

// Holds an exclusive lock on a lock file for as long as it lives.
class FileLock {
 public:
  explicit FileLock(const std::string& path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  bool locked() const { return handle_ != kNoHandle; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;  // a descriptor or a system handle
};

}  // namespace webhoard::registry_files
