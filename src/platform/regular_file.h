// Reading the files a cache or an archive holds, never through a link.
//
// A cache folder may come from anywhere (a downloaded sample, a shared
// disk): a "cached file" that is a symbolic link to a user's keys, or a
// pipe that would block the reader, must never be read into an archive,
// an excerpt or an image size. So cached files and archived copies are
// opened only as regular files whose last path component is no link
// (checked on the open file itself, so a link swapped in after a check is
// still refused), and a reader keeps only the files that lie inside its
// cache folder once every link on the way is resolved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <unordered_map>

namespace webhoard {

// Opens `path` for binary reading when it is a regular file reached without
// following a link at its last component. Null otherwise, with errno set:
// ELOOP for a link, EISDIR for a folder, EINVAL for anything else that is
// not a regular file, or the open's own reason.
std::FILE* OpenRegularFile(const std::string& path);

// The whole file through OpenRegularFile, or nullopt with `*error` (when
// given) set to the reason. Files larger than `max_bytes` are refused (EFBIG).
std::optional<std::string> ReadRegularFile(const std::string& path,
                                           std::size_t max_bytes = SIZE_MAX,
                                           int* error = nullptr);

// True when `path` is a regular file, not a link itself, and lies inside
// `folder` after both are resolved (links in between included).
bool IsRegularFileInside(const std::string& path, const std::string& folder);

// IsRegularFileInside for the many files of one folder (a cache's): the
// folder is resolved once, and a path written as the folder followed by
// plain names is answered from one look at the file and one, remembered,
// look at each sub-folder on the way; anything else (a link on the way, "."
// or "..", another prefix) gets the full resolution. Same answers.
class RegularFilesInside {
 public:
  explicit RegularFilesInside(std::string folder);
  bool Contains(const std::string& path);

 private:
  bool PlainFolder(const std::string& path);

  std::string folder_;   // as given, with its trailing separator
  std::unordered_map<std::string, bool> plain_folders_;  // no link, a real folder
};

}  // namespace webhoard
