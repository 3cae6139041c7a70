// The system's URL cache, as the Internet Explorer edition sees it: open an
// enumeration, take the next entry, close it, and delete an entry by its
// source URL name. The calls and error numbers are the ones WinINet offers
// (FindFirstUrlCacheEntryA and friends), so the reader keeps its shape on
// every platform; only the types are our own.
//
// On Linux the cache is read straight from a container's index.dat (the
// folder WinINet keeps it in, by default the one of the user's Wine prefix);
// a Windows implementation over WinINet sits beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace webhoard {

// Error numbers, as WinINet reports them.
inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;       // no such entry / no index
inline constexpr std::uint32_t kErrorAccessDenied = 5;       // the cached file cannot go
inline constexpr std::uint32_t kErrorInvalidHandle = 6;      // unknown enumeration handle
inline constexpr std::uint32_t kErrorSharingViolation = 32;  // another program writes it
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorNoMoreItems = 259;
inline constexpr std::uint32_t kErrorServiceNotActive = 1062;  // busy: try again later
inline constexpr std::uint32_t kErrorFileCorrupt = 1392;       // index.dat is damaged
inline constexpr std::uint32_t kErrorWriteFault = 29;          // the index could not be saved

// What an error number of this layer means, in words for the user
// ("index.dat is damaged"); "error N" for a number it does not know.
std::string UrlCacheErrorWords(std::uint32_t error);

// Cache entry type flags (CacheEntryType).
inline constexpr std::uint32_t kNormalCacheEntry = 0x1;
inline constexpr std::uint32_t kStickyCacheEntry = 0x4;

// Bytes the fixed part of a WinINet entry record takes in the caller's
// buffer (INTERNET_CACHE_ENTRY_INFOA of a 32-bit program).
inline constexpr std::uint32_t kUrlCacheEntryFixedSize = 80;

// One cache entry. Times are FILETIME values: 100-nanosecond ticks since
// 1601-01-01 UTC, 0 when unknown.
struct UrlCacheEntry {
  std::string source_url_name;
  std::string local_file_name;  // full path of the cached file, empty when none
  std::uint32_t cache_entry_type = 0;
  std::uint32_t use_count = 0;
  std::uint32_t hit_rate = 0;
  std::uint64_t size = 0;
  std::uint64_t last_modified_time = 0;
  std::uint64_t expire_time = 0;
  std::uint64_t last_access_time = 0;
  std::uint64_t last_sync_time = 0;
  std::string header_info;  // the stored response headers, exactly as stored
  std::string file_extension;
  std::uint32_t exempt_delta = 0;

  // Bytes the entry needs in a WinINet entry buffer: the fixed part, then
  // each text with its NUL and the header bytes, each rounded up to 4 bytes.
  std::uint32_t StructSize() const;
};

// Opaque enumeration handle; 0 is the null handle.
using UrlCacheFindHandle = std::uint64_t;

class UrlCache {
 public:
  virtual ~UrlCache() = default;

  // Opens an enumeration and fills `entry` with its first entry. `pattern`
  // null, "" or "*.*" lists every entry; any other text lists the entries
  // whose source URL name begins with it, ignoring case ("visited:").
  // `buffer_size` is the caller's buffer size in bytes; an entry that needs
  // more fails with kErrorInsufficientBuffer and sets it to what is needed.
  // Answers the handle, or 0 with LastError() telling why (kErrorNoMoreItems
  // for an empty cache).
  virtual UrlCacheFindHandle FindFirstUrlCacheEntry(const char* pattern, UrlCacheEntry& entry,
                                                    std::uint32_t& buffer_size) = 0;
  // The next entry. An entry too large for the buffer is not consumed: the
  // call fails with kErrorInsufficientBuffer and can be repeated with a
  // larger buffer.
  virtual bool FindNextUrlCacheEntry(UrlCacheFindHandle handle, UrlCacheEntry& entry,
                                     std::uint32_t& buffer_size) = 0;
  // Ends an enumeration; closing the null handle is allowed and does nothing.
  virtual bool FindCloseUrlCache(UrlCacheFindHandle handle) = 0;
  // Removes the entry with exactly this source URL name and its cached file.
  virtual bool DeleteUrlCacheEntry(std::string_view source_url_name) = 0;

  // The error number of the last failed call.
  virtual std::uint32_t LastError() const = 0;
  // A sentence describing the last failure (file and offset where known).
  virtual std::string LastErrorText() const = 0;
};

// The URL cache of one container folder (the folder holding index.dat);
// an empty folder name means DefaultUrlCacheContainer(). On Windows only the
// empty name opens a cache (WinINet's, of the current user).
std::unique_ptr<UrlCache> OpenUrlCache(const std::string& container_folder);

// The container the current user's WinINet programs fill: on Linux the
// Content.IE5 folder of the Wine prefix ($WINEPREFIX, else ~/.wine) for the
// current user: the first layout (newer INetCache first, then the older
// "Temporary Internet Files" ones) that holds an index.dat, else the newest
// layout's folder. Empty when neither a prefix nor a user name is known, and
// on Windows, where WinINet finds its own container.
std::string DefaultUrlCacheContainer();

}  // namespace webhoard
