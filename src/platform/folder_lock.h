// The lock that gives one process at a time a folder: an exclusive lock on a
// lock file inside it (flock on POSIX systems, LockFileEx on Windows). The
// lock belongs to the open file, so the system releases it when the holder
// exits in any way, also when it is killed; a lock file left behind by a
// dead process therefore never blocks anyone, and it is never deleted (a
// process that deleted it could race one that has just opened it).
#pragma once

#include <cstdint>
#include <string>

namespace webhoard {

enum class FolderLockOutcome {
  kLocked,  // this object holds the lock now
  kBusy,    // another open file holds it: try again later
  kFailed,  // the lock file cannot be made or locked (see the error)
};

class FolderLock {
 public:
  FolderLock() = default;
  ~FolderLock() { Unlock(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  FolderLock(FolderLock&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoHandle; }
  FolderLock& operator=(FolderLock&& other) noexcept {
    if (this != &other) {
      Unlock();
      handle_ = other.handle_;
      other.handle_ = kNoHandle;
    }
    return *this;
  }

  // Opens the lock file at `lock_path` (creating it) and takes its lock
  // without waiting. On kFailed, `error` names the file and the system's
  // reason ("cannot create /a/archive.lck: Read-only file system"; "cannot
  // open" when the file exists).
  FolderLockOutcome TryLock(const std::string& lock_path, std::string* error = nullptr);
  // Releases the lock (nothing when none is held).
  void Unlock();
  bool locked() const { return handle_ != kNoHandle; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;  // a descriptor, or a Windows HANDLE
};

}  // namespace webhoard
