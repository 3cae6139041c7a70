// The Internet Explorer edition's cache reader: fills the cache item list
// from the system's URL cache (platform/url_cache.h), one item per entry
// that has a usable web address and a cached file on disk.
//
// Entries are read into a buffer of 8,192 bytes, as WinINet fills it; an
// entry that needs more ends the enumeration early (the entries read so far
// stay). When the cache service is not active, opening is tried again up to
// 20 times one second apart. A caller's stop check is asked before every
// wait and every few thousand entries (cache/read_stop.h).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "cache/cache_item.h"
#include "cache/read_stop.h"
#include "platform/url_cache.h"

namespace webhoard {

inline constexpr std::uint32_t kIECacheEntryBufferSize = 8192;
inline constexpr int kIECacheOpenAttempts = 20;
inline constexpr int kIECacheRetryDelayMs = 1000;

// What one read met; for the command line and for tests.
struct IECacheStats {
  int open_attempts = 0;
  std::uint32_t open_error = 0;  // why the last opening failed, 0 when it worked
  std::uint32_t end_error = 0;   // why the enumeration ended (kErrorNoMoreItems normally)
  std::string error_text;        // the URL cache's own words for the last of the two errors
  bool stopped = false;          // the stop check ended the read early
  std::uint64_t entries = 0;     // entries read
  std::uint64_t items_added = 0;
  std::uint64_t dropped_no_host = 0;  // rejected scheme or unusable host
  std::uint64_t dropped_no_file = 0;  // no cached file on disk
  std::uint64_t dropped_not_regular = 0;  // a link, a folder or a pipe, or outside the container
};

// Waits the given number of milliseconds (tests pass a recorder).
using SleepFunction = std::function<void(int milliseconds)>;

// Reads `cache` and appends one item per usable entry to `items`, never
// removing any. Answers whether `items` holds at least one item afterwards.
// An empty cache opens with kErrorNoMoreItems in `stats->open_error`. When
// `stop` answers true the read ends with `stats->stopped` set. Errors thrown
// while an item is built pass to the caller after the enumeration is closed.
bool ReadIECache(UrlCache& cache, TCacheItemList& items, IECacheStats* stats = nullptr,
                 const SleepFunction& sleep = {}, const ReadStopCheck& stop = {});

// The same over the cache of a container folder (the folder holding
// index.dat); an empty name means the default container.
bool ReadIECache(const std::string& container_folder, TCacheItemList& items,
                 IECacheStats* stats = nullptr, const ReadStopCheck& stop = {});

// The content type named by stored response headers: the rest of the first
// line holding "content-type: " (any case, one space), in lower case; the
// text from that header's name on is at most 255 characters. "text/html"
// when there is no such header or nothing follows it.
std::string ContentTypeFromHeaders(std::string_view header_info);

}  // namespace webhoard
