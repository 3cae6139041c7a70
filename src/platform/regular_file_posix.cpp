#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/regular_file.h"

namespace webhoard {

std::FILE* OpenRegularFile(const std::string& path) {
  // O_NONBLOCK: a named pipe must not hold the open until a writer comes.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int reason = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = reason;
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) {
    const int reason = errno;
    ::close(fd);
    errno = reason;
  }
  return file;
}

}  // namespace webhoard
