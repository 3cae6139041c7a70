// The file registry's file-system steps on Windows. A new folder inherits
// the access rules of the user's profile folder above it, which already
// keeps other users out.
#include <windows.h>

#include "common/file_util.h"
#include "platform/file_registry_files.h"

namespace webhoard::registry_files {

bool MakePrivateFolders(const std::string& folder) {
  if (folder.empty() || DirectoryExists(folder)) return true;
  const auto separator = folder.find_last_of("\\/");
  // Stop at a drive ("C:") or a share root: those are never created.
  if (separator != std::string::npos && separator > 0 && folder[separator - 1] != ':' &&
      !MakePrivateFolders(folder.substr(0, separator))) {
    return false;
  }
  return ::CreateDirectoryA(folder.c_str(), nullptr) != 0 ||
         ::GetLastError() == ERROR_ALREADY_EXISTS;
}

FileLock::FileLock(const std::string& path) {
  const HANDLE file =
      ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED whole{};
  if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole) == 0) {
    ::CloseHandle(file);
    return;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
}

FileLock::~FileLock() {
  if (locked()) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing releases the lock
}

bool IsMissing(const std::string& path) {
  if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// MoveFileEx without MOVEFILE_REPLACE_EXISTING never replaces a kept copy.
bool KeepDamagedCopy(const std::string& path) {
  for (int n = 0; n < 1000; ++n) {
    const std::string aside = path + ".damaged" + (n == 0 ? "" : "." + std::to_string(n));
    if (::MoveFileExA(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH) != 0) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  }
  return false;
}

}  // namespace webhoard::registry_files
