#include "cache/navigator/cache_entry_builder.h"

#include <memory>
#include <utility>

#include "cache/mime_types.h"
#include "common/clock.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "platform/local_path.h"
#include "platform/regular_file.h"
#include "url/canonical_url.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

bool IsSeparator(char c) {
  return c == '/' || c == '\\';
}

}  // namespace

double CacheTimeToDate(std::int32_t time) {
  // Navigator stores seconds since 1970 in UTC; the date is taken as it is,
  // without a time-zone shift. Real caches reach back to the mid-1990s and
  // keep their dates. A time that cannot be real is mended: one in the
  // future (a wrong clock) becomes now; 0 (never written) and anything
  // before 1990 become 1990-01-01 00:00, one fixed date, so that such items
  // sort as the oldest and an age filter answers the same on every run.
  const double date = static_cast<double>(time) / kSecondsPerDay + kUnixEpochDate;
  if (date < kFirstWebDate) return kFirstWebDate;
  const double now = Now();
  return date > now ? now : date;
}

bool IsUnsafeCacheFileName(std::string_view file_name) {
  if (file_name.empty()) return false;
  if (IsSeparator(file_name.front())) return true;
  // A drive letter ("C:\x", "C:x") points away from the cache folder on
  // Windows; on other systems such a name is no name Navigator wrote.
  if (file_name.find(':') != std::string_view::npos) return true;
  std::size_t start = 0;
  while (start <= file_name.size()) {
    std::size_t end = start;
    while (end < file_name.size() && !IsSeparator(file_name[end])) ++end;
    if (file_name.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

std::string CacheFolderOf(std::string_view index_path) {
  return FolderOfPath(index_path);
}

CacheEntryBuilder::CacheEntryBuilder(std::string cache_folder, TCacheItemList& items,
                                     CacheIndexStats& stats)
    : cache_folder_(LocalFileSystemPath(cache_folder)), items_(items), stats_(stats) {}

void CacheEntryBuilder::AddCacheEntry(std::string_view url, std::string_view file_name,
                                      std::string_view mime_type, std::int32_t time) {
  ++stats_.entries;
  const CanonicalUrl canonical = CanonicalFromLink(url);
  if (!canonical.usable() || canonical.domain == kNoHost) {
    ++stats_.dropped_no_host;
    return;
  }
  // Deleting an item from the cache deletes its LocalFile: a name that leads
  // out of the cache folder must never become one.
  if (IsUnsafeCacheFileName(file_name)) {
    ++stats_.dropped_unsafe_name;
    return;
  }
  if (taken_urls_.contains(canonical.url)) {
    ++stats_.dropped_duplicate;
    return;
  }
  std::string local_file;
  if (!file_name.empty()) {
    const std::string relative = LocalFileSystemPath(file_name);
    local_file = cache_folder_ + relative;
    if (!FileExists(local_file)) {
      auto found = finder_.Find(cache_folder_, relative);
      if (!found) {
        ++stats_.dropped_no_file;
        return;
      }
      ++stats_.found_ignoring_case;
      local_file = std::move(*found);
    }
  } else {
    // The cache folder itself: never a file.
    ++stats_.dropped_no_file;
    return;
  }
  // A cached file is archived, excerpted and deleted: one that is a link (to
  // a user's keys, say), a pipe, or that lies outside the cache folder once
  // links are resolved is never taken.
  if (!inside_.Contains(local_file)) {
    ++stats_.dropped_not_regular;
    return;
  }

  auto item = std::make_unique<TCacheItem>();
  item->Date = CacheTimeToDate(time);
  item->URL = canonical.url;
  item->Domain = canonical.domain;
  item->LocalFile = std::move(local_file);
  // The type is looked up only for kept entries: a look-up may add the type
  // to MIMETYPE.DAT for good, and damaged or dropped entries must not fill
  // that file (and the 255 numbers an item can record) with junk.
  // The whole position is kept. When MIMETYPE.DAT cannot be written the
  // type keeps its position for this run only; the item is kept all the same.
  std::string type_file_error;
  item->MimeIndex = LookupMimeType(mime_type, &type_file_error);
  item->Category = MimeTypeCategory(mime_type);
  taken_urls_.insert(canonical.url);
  items_.push_back(std::move(item));
  ++stats_.items_added;
}

}  // namespace webhoard
