#include "platform/regular_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>

namespace webhoard {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t max_bytes,
                                           int* error) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenRegularFile(path));
  if (!file) {
    if (error != nullptr) *error = errno;
    return std::nullopt;
  }
  std::string bytes;
  char block[64 * 1024];
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file.get());
    if (bytes.size() + got > max_bytes) {
      if (error != nullptr) *error = EFBIG;
      return std::nullopt;
    }
    bytes.append(block, got);
    if (got < sizeof block) break;
  }
  if (std::ferror(file.get()) != 0) {
    if (error != nullptr) *error = EIO;
    return std::nullopt;
  }
  return bytes;
}

bool IsRegularFileInside(const std::string& path, const std::string& folder) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (ec || !fs::is_regular_file(status)) return false;
  const fs::path inner = fs::canonical(path, ec);
  if (ec) return false;
  const fs::path outer = fs::canonical(folder, ec);
  if (ec) return false;
  const auto [end, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  // A canonical folder path may end in an empty element ("C:\" gives one):
  // the file must lie below every real element of it.
  return (end == outer.end() || (std::next(end) == outer.end() && end->empty())) && inner != outer;
}

}  // namespace webhoard
