#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_system.h"

#if defined(__linux__)
#include <sys/sendfile.h>
#endif

namespace webhoard {

#if defined(__linux__)
// copy_file_range first; sendfile where the file systems refuse it (older
// kernels, some network file systems). Answers kUnsupported, before any
// byte has moved, when neither call works between these two files.
KernelCopy CopyInKernel(std::FILE* from_file, std::FILE* to_file) {
  const int from = fileno(from_file);
  const int to = fileno(to_file);
  bool first = true;
  for (;;) {
    ssize_t moved = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
    if (moved < 0 && first &&
        (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP)) {
      moved = ::sendfile(to, from, nullptr, 1 << 30);
      if (moved < 0 && (errno == ENOSYS || errno == EINVAL)) return KernelCopy::kUnsupported;
      if (moved < 0) return KernelCopy::kFailed;
      // sendfile works here: go on with it alone.
      while (moved > 0) moved = ::sendfile(to, from, nullptr, 1 << 30);
      return moved == 0 ? KernelCopy::kDone : KernelCopy::kFailed;
    }
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0) return KernelCopy::kFailed;
    if (moved == 0) return KernelCopy::kDone;
    first = false;
  }
}

void SyncFileSystemOf(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::syncfs(fd);
  ::close(fd);
}
#else
// Other POSIX systems have neither call; the caller's own loop copies, and
// sync() is the only whole-system flush they share.
KernelCopy CopyInKernel(std::FILE*, std::FILE*) {
  return KernelCopy::kUnsupported;
}

void SyncFileSystemOf(const std::string&) {
  ::sync();
}
#endif

bool RemoveFileOnly(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

}  // namespace webhoard
