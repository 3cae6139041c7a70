// The file helpers over Win32 file handles. Paths are byte strings in the
// system code page; the wide calls take them converted, a path longer than
// MAX_PATH with the extended-length prefix, which only those calls accept.
// A save is flushed with FlushFileBuffers and put in place by MoveFileEx with
// MOVEFILE_WRITE_THROUGH, which returns only once the rename is on disk.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "common/file_util.h"
#include "common/system_error_text.h"

namespace webhoard {
namespace {

// The path for the wide calls. Up to MAX_PATH it stays as written (relative
// or not); longer, it is made absolute and prefixed, as the prefix needs.
std::wstring SystemPath(const std::string& path) {
  const int units = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (units <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), units);
  wide.pop_back();  // the closing NUL
  // Folders need room for an 8.3 name below them as well.
  if (wide.size() < MAX_PATH - 12 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD needed = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return wide;
  std::wstring full(needed, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (written == 0 || written >= needed) return wide;
  full.resize(written);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);  // a share
  return L"\\\\?\\" + full;
}

// The system's sentence for the last Win32 error.
std::string LastErrorText() {
  return SystemErrorText(::GetLastError());
}

// Holds an open file handle and closes it once.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  bool Close() {
    if (!valid()) return true;
    const bool ok = ::CloseHandle(handle_) != 0;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (::WriteFile(file, bytes.data(), chunk, &written, nullptr) == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
  return ::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

bool FileExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return Attributes(path, data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!Attributes(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t max_bytes) {
  Handle file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file.get(), &size) == 0 || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > max_bytes) {
    return std::nullopt;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(size.QuadPart));
  char buffer[65536];
  for (;;) {
    DWORD n = 0;
    if (::ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr) == 0) return std::nullopt;
    if (n == 0) break;
    if (data.size() + n > max_bytes) return std::nullopt;
    data.append(buffer, n);
  }
  return data;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& temp_path, std::string* error) {
  const std::wstring temp = SystemPath(temp_path);
  Handle file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (error != nullptr) *error = "cannot create " + temp_path + ": " + LastErrorText();
    return false;
  }
  auto fail = [&](const char* what) {
    if (error != nullptr) *error = std::string(what) + " " + temp_path + ": " + LastErrorText();
    file.Close();
    ::DeleteFileW(temp.c_str());
    return false;
  };
  if (!WriteAll(file.get(), contents)) return fail("cannot write");
  if (::FlushFileBuffers(file.get()) == 0) return fail("cannot flush");
  if (!file.Close()) return fail("cannot close");
  if (::MoveFileExW(temp.c_str(), SystemPath(path).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    if (error != nullptr) *error = "cannot replace " + path + ": " + LastErrorText();
    ::DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

// Callers read the reason from errno, as from the POSIX twin.
bool AppendToFile(const std::string& path, std::string_view bytes) {
  Handle file(::CreateFileW(SystemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool ok = file.valid() && WriteAll(file.get(), bytes) && file.Close();
  if (!ok) errno = ErrnoOfSystemError(::GetLastError());
  return ok;
}

std::string WithProcessId(const std::string& path) {
  return path + "." + std::to_string(::GetCurrentProcessId());
}

std::string ErrnoText(int error_number) {
  char buffer[256] = {};
  if (strerror_s(buffer, sizeof buffer, error_number) != 0) {
    return "error " + std::to_string(error_number);
  }
  return buffer;
}

}  // namespace webhoard
