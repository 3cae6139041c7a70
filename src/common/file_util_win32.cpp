// The file helpers over Win32 file handles. Paths are byte strings in the
// system code page, so the "A" calls take them as they are. A save is
// flushed with FlushFileBuffers and put in place by MoveFileEx with
// MOVEFILE_WRITE_THROUGH, which returns only once the rename is on disk.
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "common/file_util.h"
#include "common/system_error_text.h"

namespace webhoard {
namespace {

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
  return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != 0;
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
  Handle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
  Handle file(::CreateFileA(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (error != nullptr) *error = "cannot create " + temp_path + ": " + LastErrorText();
    return false;
  }
  auto fail = [&](const char* what) {
    if (error != nullptr) *error = std::string(what) + " " + temp_path + ": " + LastErrorText();
    file.Close();
    ::DeleteFileA(temp_path.c_str());
    return false;
  };
  if (!WriteAll(file.get(), contents)) return fail("cannot write");
  if (::FlushFileBuffers(file.get()) == 0) return fail("cannot flush");
  if (!file.Close()) return fail("cannot close");
  if (::MoveFileExA(temp_path.c_str(), path.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    if (error != nullptr) *error = "cannot replace " + path + ": " + LastErrorText();
    ::DeleteFileA(temp_path.c_str());
    return false;
  }
  return true;
}

// Callers read the reason from errno, as from the POSIX twin.
bool AppendToFile(const std::string& path, std::string_view bytes) {
  Handle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
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
