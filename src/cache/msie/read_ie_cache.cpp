#include "cache/msie/read_ie_cache.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "cache/mime_types.h"
#include "cache/msie/file_time_to_date.h"
#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/regular_file.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

constexpr std::string_view kContentTypeHeader = "content-type: ";
constexpr std::string_view kDefaultContentType = "text/html";

// Closes the enumeration however the read ends.
class FindGuard {
 public:
  FindGuard(UrlCache& cache, UrlCacheFindHandle handle) : cache_(cache), handle_(handle) {}
  ~FindGuard() { cache_.FindCloseUrlCache(handle_); }
  FindGuard(const FindGuard&) = delete;
  FindGuard& operator=(const FindGuard&) = delete;

 private:
  UrlCache& cache_;
  UrlCacheFindHandle handle_;
};

void SleepFor(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The containment check of the container the last entries lay in (a cache
// has one; the folder is resolved once, not once per entry).
class ContainerCheck {
 public:
  bool Contains(const std::string& file, const std::string& container) {
    if (!check_ || container != container_) {
      container_ = container;
      check_.emplace(container);
    }
    return check_->Contains(file);
  }

 private:
  std::string container_;
  std::optional<RegularFilesInside> check_;
};

// Builds the item of one entry; nullptr when the entry is dropped.
std::unique_ptr<TCacheItem> BuildItem(const UrlCacheEntry& entry, IECacheStats& stats,
                                      ContainerCheck& inside) {
  auto item = std::make_unique<TCacheItem>();
  item->Date = FileTimeToDate(entry.last_sync_time);
  if (const double accessed = FileTimeToDate(entry.last_access_time); accessed > item->Date) {
    item->Date = accessed;
  }
  item->CacheKey = entry.source_url_name;
  const CanonicalUrl canonical = CanonicalFromStoredUrl(entry.source_url_name);
  item->URL = canonical.url;
  const std::string type = ContentTypeFromHeaders(entry.header_info);
  // The whole position is kept. When MIMETYPE.DAT cannot be written the
  // type keeps its position for this run only; the item is kept all the same.
  std::string type_file_error;
  item->MimeIndex = LookupMimeType(type, &type_file_error);
  item->Category = MimeTypeCategory(type);
  item->LocalFile = entry.local_file_name;
  item->Domain = canonical.domain;
  if (!canonical.usable()) {
    ++stats.dropped_no_host;
    return nullptr;
  }
  if (!FileExists(item->LocalFile)) {
    ++stats.dropped_no_file;
    return nullptr;
  }
  // The cached file lies at container/cache folder/name: one that is a link,
  // a pipe, or that leads out of the container is never taken.
  const std::filesystem::path container =
      std::filesystem::path(item->LocalFile).parent_path().parent_path();
  if (!inside.Contains(item->LocalFile, container.string())) {
    ++stats.dropped_not_regular;
    return nullptr;
  }
  return item;
}

}  // namespace

std::string ContentTypeFromHeaders(std::string_view header_info) {
  // The headers are searched as one NUL-terminated text: Internet Explorer
  // stores a NUL after them, and nothing after a NUL is looked at.
  const std::string text = AsciiLower(header_info.substr(0, header_info.find('\0')));
  const std::size_t at = text.find(kContentTypeHeader);
  if (at == std::string::npos) return std::string(kDefaultContentType);
  std::string line = CutAt(std::string_view(text).substr(at), kShortTextLength);
  line = line.substr(0, line.find('\r'));
  line = line.substr(0, line.find('\n'));
  if (line.size() <= kContentTypeHeader.size()) return std::string(kDefaultContentType);
  return line.substr(kContentTypeHeader.size());
}

bool ReadIECache(UrlCache& cache, TCacheItemList& items, IECacheStats* stats,
                 const SleepFunction& sleep, const ReadStopCheck& stop) {
  IECacheStats local;
  IECacheStats& s = stats != nullptr ? *stats : local;
  s = IECacheStats{};
  UrlCacheEntry entry;
  std::uint32_t buffer_size = kIECacheEntryBufferSize;
  UrlCacheFindHandle handle = 0;
  for (int attempt = 1; attempt <= kIECacheOpenAttempts; ++attempt) {
    s.open_attempts = attempt;
    buffer_size = kIECacheEntryBufferSize;
    handle = cache.FindFirstUrlCacheEntry("*.*", entry, buffer_size);
    if (handle != 0) break;
    s.open_error = cache.LastError();
    s.error_text = cache.LastErrorText();
    if (s.open_error != kErrorServiceNotActive) break;
    cache.FindCloseUrlCache(0);
    if (attempt < kIECacheOpenAttempts) {
      // Twenty seconds of waiting must not outlast the user's patience.
      if (stop && stop()) {
        s.stopped = true;
        break;
      }
      (sleep ? sleep : SleepFor)(kIECacheRetryDelayMs);
    }
  }
  if (handle != 0) {
    s.open_error = 0;
    s.error_text.clear();
    FindGuard guard(cache, handle);
    StopPoll stop_poll(stop);
    ContainerCheck inside;
    do {
      if (stop_poll.Due()) {
        s.stopped = true;
        return !items.empty();
      }
      ++s.entries;
      if (auto item = BuildItem(entry, s, inside)) {
        items.push_back(std::move(item));
        ++s.items_added;
      }
      buffer_size = kIECacheEntryBufferSize;
    } while (cache.FindNextUrlCacheEntry(handle, entry, buffer_size));
    s.end_error = cache.LastError();
    if (s.end_error != kErrorNoMoreItems) s.error_text = cache.LastErrorText();
  }
  return !items.empty();
}

bool ReadIECache(const std::string& container_folder, TCacheItemList& items, IECacheStats* stats,
                 const ReadStopCheck& stop) {
  const auto cache = OpenUrlCache(container_folder);
  return ReadIECache(*cache, items, stats, {}, stop);
}

}  // namespace webhoard
