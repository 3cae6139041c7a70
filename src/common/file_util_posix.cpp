// The file helpers over POSIX descriptors: fsync for the flushes, so that a
// save is on disk before the rename makes it the file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/file_util.h"

namespace webhoard {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string ParentFolder(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<std::uint64_t> FileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::optional<std::string> ReadFileBytes(const std::string& path, std::uint64_t max_bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
      static_cast<std::uint64_t>(st.st_size) > max_bytes) {
    ::close(fd);
    return std::nullopt;
  }
  std::string data;
  data.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > max_bytes) {
      ::close(fd);
      return std::nullopt;
    }
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return data;
}

bool WriteFileAtomically(const std::string& path, std::string_view contents,
                         const std::string& temp_path, std::string* error) {
  auto fail = [&](const char* what, int err) {
    if (error != nullptr) *error = std::string(what) + " " + temp_path + ": " + ErrnoText(err);
    ::unlink(temp_path.c_str());
    return false;
  };
  const int fd = ::open(temp_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (error != nullptr) *error = "cannot create " + temp_path + ": " + ErrnoText(errno);
    return false;
  }
  if (!WriteAll(fd, contents)) {
    const int err = errno;
    ::close(fd);
    return fail("cannot write", err);
  }
  if (::fsync(fd) != 0) {
    const int err = errno;
    ::close(fd);
    return fail("cannot flush", err);
  }
  if (::close(fd) != 0) return fail("cannot close", errno);
  if (::rename(temp_path.c_str(), path.c_str()) != 0) {
    const int err = errno;
    if (error != nullptr) *error = "cannot replace " + path + ": " + ErrnoText(err);
    ::unlink(temp_path.c_str());
    return false;
  }
  SyncFolder(ParentFolder(path));
  return true;
}

bool AppendToFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, bytes);
  return ::close(fd) == 0 && ok;
}

std::string WithProcessId(const std::string& path) {
  return path + "." + std::to_string(::getpid());
}

std::string ErrnoText(int error_number) {
  char buffer[256];
  // GNU strerror_r returns the message pointer.
  return ::strerror_r(error_number, buffer, sizeof buffer);
}

}  // namespace webhoard
