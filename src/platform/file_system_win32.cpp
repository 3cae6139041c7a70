#include <windows.h>

#include "platform/file_system.h"

namespace webhoard {

// Windows copies whole files by name (CopyFile), not between open files;
// the caller's buffered loop does the work.
KernelCopy CopyInKernel(std::FILE*, std::FILE*) {
  return KernelCopy::kUnsupported;
}

// Flushing a volume needs a handle on the volume itself, which only an
// administrator may open for writing; for everyone else the copies stay
// with the system's lazy writer, as they would after Explorer's own copy.
void SyncFileSystemOf(const std::string& folder) {
  char volume[MAX_PATH] = {};
  if (::GetVolumePathNameA(folder.c_str(), volume, MAX_PATH) == 0) return;
  std::string device(volume);
  if (device.size() < 2 || device[1] != ':') return;  // no drive letter: a share
  device = "\\\\.\\" + device.substr(0, 2);
  const HANDLE handle =
      ::CreateFileA(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  ::FlushFileBuffers(handle);
  ::CloseHandle(handle);
}

bool RemoveFileOnly(const std::string& path) {
  return ::DeleteFileA(path.c_str()) != 0;
}

}  // namespace webhoard
