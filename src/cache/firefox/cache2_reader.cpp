#include "cache/firefox/cache2_reader.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "cache/firefox/cache2_entry.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kEntryNameLength = 40;  // the key's SHA-1 in hex

bool IsEntryName(const std::string& name) {
  return name.size() == kEntryNameLength && std::all_of(name.begin(), name.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
         });
}

bool IsOldCacheFolder(const std::string& folder) {
  return FileExists(JoinPath(folder, "_CACHE_MAP_")) || FileExists(JoinPath(folder, "_CACHE_001_"));
}

// The entry file names, sorted so that a read is repeatable.
std::vector<std::string> EntryNames(const std::string& entries, std::vector<std::string>& notes) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(entries, ec), end; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (IsEntryName(name)) names.push_back(std::move(name));
  }
  if (ec) notes.push_back("the cache folder " + entries + " could not be listed: " + ec.message());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

StoredResponses ReadFirefoxCache(const std::string& folder, const ReadStopCheck& stop) {
  StoredResponses read;
  if (IsOldCacheFolder(folder)) {
    read.notes.push_back(folder +
                         " holds the old Firefox cache (_CACHE_MAP_, Firefox 31 and earlier), "
                         "which is not supported");
    return read;
  }
  const std::string nested = JoinPath(folder, "entries");
  const std::string entries = DirectoryExists(nested) ? nested : folder;
  StopPoll poll(stop);
  std::uint64_t encrypted = 0;
  for (const std::string& name : EntryNames(entries, read.notes)) {
    if (poll.Due()) {
      read.notes.push_back("the read was stopped before the last entry");
      break;
    }
    Cache2EntryRead entry = ReadCache2Entry(JoinPath(entries, name));
    ++read.entries;
    if (entry.response) {
      read.responses.push_back(std::move(*entry.response));
    } else {
      read.Skip(entry.skip);
      if (entry.encrypted) ++encrypted;
      if (entry.redirect) read.redirects.push_back(std::move(*entry.redirect));
    }
  }
  if (encrypted > 0) {
    read.notes.push_back(std::to_string(encrypted) +
                         " encrypted entries cannot be read without the browser's key");
  }
  return read;
}

}  // namespace webhoard
