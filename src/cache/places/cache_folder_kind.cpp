#include "cache/places/cache_folder_kind.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <system_error>

#include "common/file_util.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

constexpr std::array<unsigned char, 4> kBlockfileIndexMagic = {0xc3, 0xca, 0x03, 0xc1};
constexpr std::array<unsigned char, 8> kSimpleMagic = {0x30, 0x5c, 0x72, 0xa7,
                                                       0x1b, 0x6d, 0xfb, 0xfc};

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool AllHex(std::string_view text) {
  for (const char c : text) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}

bool IsSimpleEntryName(std::string_view name) {
  return name.size() == 18 && name.substr(16) == "_0" && AllHex(name.substr(0, 16));
}

bool IsFirefoxEntryName(std::string_view name) {
  return name.size() == 40 && AllHex(name);
}

bool IsRegularFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(fs::symlink_status(path, ec)) && !ec;
}

bool IsPlainFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(path, ec)) && !ec;
}

// The first bytes of `path`, as many as it has up to 8; empty when it is no
// regular file reached without a link.
std::string FileStart(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(OpenRegularFile(path), &std::fclose);
  if (!file) return {};
  std::array<char, kSimpleMagic.size()> bytes{};
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
  return std::string(bytes.data(), got);
}

template <std::size_t N>
bool StartsWith(std::string_view bytes, const std::array<unsigned char, N>& magic) {
  if (bytes.size() < N) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (static_cast<unsigned char>(bytes[i]) != magic[i]) return false;
  }
  return true;
}

// True when a regular file of `folder` has a name `wanted` accepts. Stops at
// the first one: a cache folder may hold many thousands.
bool HasFileNamed(const std::string& folder, const std::function<bool(std::string_view)>& wanted) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (wanted(it->path().filename().string()) && it->is_regular_file(type_ec) &&
        !it->is_symlink(type_ec)) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<ChromiumBackend> ChromiumBackendOf(const std::string& folder) {
  const std::string index = FileStart(JoinPath(folder, "index"));
  if (StartsWith(index, kBlockfileIndexMagic)) {
    if (IsRegularFile(JoinPath(folder, "data_0"))) return ChromiumBackend::kBlockfile;
    return std::nullopt;
  }
  if (StartsWith(index, kSimpleMagic) ||
      IsRegularFile(JoinPath(folder, "index-dir/the-real-index")) ||
      HasFileNamed(folder, IsSimpleEntryName)) {
    return ChromiumBackend::kSimple;
  }
  return std::nullopt;
}

bool IsFirefoxCacheFolder(const std::string& folder) {
  return IsPlainFolder(JoinPath(folder, "entries")) || HasFileNamed(folder, IsFirefoxEntryName);
}

}  // namespace webhoard
