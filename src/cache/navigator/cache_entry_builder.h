// The one builder both index readers hand their entries to.
//
// An entry becomes a TCacheItem when its address has a usable host, its file
// name stays inside the cache folder, no earlier entry of this read already
// gave the same canonical address (stale copies in freed pages of a hash file
// repeat entries), and its cached file exists. File names come from a
// Windows program: when the named file is missing, the folder is searched
// without regard to case, as Windows would find it, and the real name is
// kept in LocalFile.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

#include "cache/cache_item.h"
#include "cache/navigator/read_cache_index.h"
#include "platform/case_insensitive_finder.h"
#include "platform/regular_file.h"

namespace webhoard {

// 1990-01-01 00:00 as a date-time (days since 1899-12-30): the year the web
// began, so no cache holds a page fetched before it.
inline constexpr double kFirstWebDate = 32874.0;

// A cache time (signed seconds since 1970-01-01, no time-zone adjustment) as
// a date-time. Times from 1990-01-01 00:00 up to now are kept as stored; a
// later time reads as now, and 0 or an earlier time as 1990-01-01 00:00
// (kFirstWebDate).
double CacheTimeToDate(std::int32_t time);

// True when a file name from the index, joined to the cache folder, could
// reach outside it: an absolute name (leading "/" or "\", a drive letter) or
// one with a ".." component. Sub-folders inside the cache ("19/x.gif") are
// fine.
bool IsUnsafeCacheFileName(std::string_view file_name);

// The cache folder of an index path: everything up to and including its last
// path separator ("/" or "\", and ":" on Windows); empty when there is none.
// The index's file names are relative to it.
std::string CacheFolderOf(std::string_view index_path);

class CacheEntryBuilder {
 public:
  // `cache_folder` ends in a separator (or is empty); items go to `items`
  // and every decision is counted in `stats`.
  CacheEntryBuilder(std::string cache_folder, TCacheItemList& items, CacheIndexStats& stats);

  // Builds one item from the fields of one entry. `file_name` is relative to
  // the cache folder; `mime_type` is lower case; `time` is signed seconds
  // since 1970-01-01.
  void AddCacheEntry(std::string_view url, std::string_view file_name, std::string_view mime_type,
                     std::int32_t time);

 private:
  std::string cache_folder_;
  TCacheItemList& items_;
  CacheIndexStats& stats_;
  CaseInsensitiveFinder finder_;
  RegularFilesInside inside_{cache_folder_};  // after cache_folder_
  std::unordered_set<std::string> taken_urls_;
};

}  // namespace webhoard
