#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>

#include "common/system_error_text.h"
#include "platform/regular_file.h"

namespace webhoard {

std::FILE* OpenRegularFile(const std::string& path) {
  // FILE_FLAG_OPEN_REPARSE_POINT opens a link (or junction) itself rather
  // than what it leads to, so it can be recognised and refused.
  const HANDLE handle =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    errno = ErrnoOfSystemError(::GetLastError());
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  const DWORD attributes = known ? info.dwFileAttributes : 0;
  if (!known || (attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0 ||
      GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    errno = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? ELOOP
            : (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0  ? EISDIR
                                                            : EINVAL;
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    errno = EINVAL;
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, "rb");
  if (file == nullptr) _close(fd);
  return file;
}

}  // namespace webhoard
