// LockFileEx over the whole lock file. The file is opened with every
// sharing mode, so holding the lock never keeps others from opening it;
// only the lock itself excludes them.
#include <windows.h>

#include "common/system_error_text.h"
#include "platform/folder_lock.h"

namespace webhoard {

FolderLockOutcome FolderLock::TryLock(const std::string& lock_path, std::string* error) {
  Unlock();
  const HANDLE file = ::CreateFileA(lock_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    if (error != nullptr)
      *error = "cannot create " + lock_path + ": " + SystemErrorText(::GetLastError());
    return FolderLockOutcome::kFailed;
  }
  OVERLAPPED whole{};
  if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &whole) == 0) {
    const DWORD code = ::GetLastError();
    ::CloseHandle(file);
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING) return FolderLockOutcome::kBusy;
    if (error != nullptr) *error = "cannot lock " + lock_path + ": " + SystemErrorText(code);
    return FolderLockOutcome::kFailed;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return FolderLockOutcome::kLocked;
}

void FolderLock::Unlock() {
  if (!locked()) return;
  ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
  handle_ = kNoHandle;
}

}  // namespace webhoard
