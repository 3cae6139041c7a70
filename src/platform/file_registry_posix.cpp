#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/file_util.h"
#include "platform/file_registry_files.h"

namespace webhoard::registry_files {

bool MakePrivateFolders(const std::string& folder) {
  if (folder.empty() || DirectoryExists(folder)) return true;
  const auto slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakePrivateFolders(folder.substr(0, slash))) {
    return false;
  }
  return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

FileLock::FileLock(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd);
      return;
    }
  }
  handle_ = fd;
}

FileLock::~FileLock() {
  if (locked()) ::close(static_cast<int>(handle_));  // closing releases the lock
}

bool IsMissing(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) != 0 && errno == ENOENT;
}

// Keeps the damaged file under a name that is not yet taken. A hard link
// keeps it without ever replacing an existing file; where links are not
// supported, a rename to a name checked to be free (we hold the lock).
bool KeepDamagedCopy(const std::string& path) {
  for (int n = 0; n < 1000; ++n) {
    const std::string aside = path + ".damaged" + (n == 0 ? "" : "." + std::to_string(n));
    if (::link(path.c_str(), aside.c_str()) == 0) return true;
    if (errno == EEXIST) continue;
    struct stat st {};
    if (::lstat(aside.c_str(), &st) == 0) continue;
    return errno == ENOENT && ::rename(path.c_str(), aside.c_str()) == 0;
  }
  return false;
}

}  // namespace webhoard::registry_files
