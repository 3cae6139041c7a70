#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "common/file_util.h"
#include "platform/folder_lock.h"

namespace webhoard {

FolderLockOutcome FolderLock::TryLock(const std::string& lock_path, std::string* error) {
  Unlock();
  // Close-on-exec: a browser started to show the index must not inherit,
  // and so keep, the archive's lock.
  const int fd = ::open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    const int reason = errno;
    const bool exists = ::access(lock_path.c_str(), F_OK) == 0;
    if (error != nullptr) {
      *error = (exists ? "cannot open " : "cannot create ") + lock_path + ": " + ErrnoText(reason);
    }
    return FolderLockOutcome::kFailed;
  }
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int reason = errno;
    if (reason == EINTR) continue;
    ::close(fd);
    if (reason == EWOULDBLOCK) return FolderLockOutcome::kBusy;
    if (error != nullptr) *error = "cannot lock " + lock_path + ": " + ErrnoText(reason);
    return FolderLockOutcome::kFailed;
  }
  handle_ = fd;
  return FolderLockOutcome::kLocked;
}

void FolderLock::Unlock() {
  if (!locked()) return;
  ::close(static_cast<int>(handle_));  // closing releases the lock
  handle_ = kNoHandle;
}

}  // namespace webhoard
