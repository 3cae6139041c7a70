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

RegularFilesInside::RegularFilesInside(std::string folder) : folder_(std::move(folder)) {
  if (!folder_.empty() && folder_.back() != '/' &&
      folder_.back() != fs::path::preferred_separator) {
    folder_.push_back(static_cast<char>(fs::path::preferred_separator));
  }
}

bool RegularFilesInside::PlainFolder(const std::string& path) {
  const auto known = plain_folders_.find(path);
  if (known != plain_folders_.end()) return known->second;
  std::error_code ec;
  const bool plain = fs::is_directory(fs::symlink_status(path, ec)) && !ec;
  plain_folders_.emplace(path, plain);
  return plain;
}

bool RegularFilesInside::Contains(const std::string& path) {
  if (folder_.empty() || path.size() <= folder_.size() ||
      path.compare(0, folder_.size(), folder_) != 0) {
    return IsRegularFileInside(path, folder_);
  }
  // Every name below the folder must be plain and every folder on the way a
  // real one (no link): then the resolved path is the folder's own plus
  // these names, inside it.
  const fs::path relative(path.substr(folder_.size()));
  std::string walked = folder_;
  bool first = true;
  for (const fs::path& part : relative) {
    const std::string name = part.string();
    if (name.empty() || name == "." || name == ".." || part.has_root_name() ||
        part.has_root_directory()) {
      return IsRegularFileInside(path, folder_);
    }
    if (!first) {
      if (!PlainFolder(walked)) return IsRegularFileInside(path, folder_);
      walked.push_back(static_cast<char>(fs::path::preferred_separator));
    }
    walked += name;
    first = false;
  }
  if (walked != path) return IsRegularFileInside(path, folder_);
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  // A file found by these names implies the folder itself is there.
  return !ec && fs::is_regular_file(status);
}

}  // namespace webhoard
