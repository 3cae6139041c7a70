// Writers of Navigator cache indexes for tests: the records and keys as
// Navigator 3 serialised them, text indexes of Navigator 1.x, and raw hash
// pages for damaged or extreme cases that the real library never writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webhoard::testing {

// One cache entry as Navigator 3 kept it.
struct NavigatorRecord {
  std::string url;
  std::string file_name;  // relative to the cache folder
  std::string mime_type;
  std::int32_t last_accessed = 0;
  std::int32_t last_modified = 0;
  std::uint32_t content_length = 0;
  std::string post_headers;  // skipped by the reader, shifts the MIME type
};

// The key: total key size, URL length with NUL, URL, NUL, POST digest length 0.
std::string NavigatorKey(std::string_view url);
// The data part, record format version 3, zero-padded to its length field.
std::string NavigatorData(const NavigatorRecord& record);

// The settings entries Navigator keeps in the same file (keys without NUL).
inline constexpr std::string_view kDiskCacheSizeKey = "INT_DiskCacheSize";
inline constexpr std::string_view kDiskCacheNumberKey = "INT_DiskCacheNumber";
inline constexpr std::string_view kExternalCacheNameKey = "INT_ExternalCacheNameString";
std::string LittleEndian32(std::uint32_t value);
inline const std::string kInternalCacheName = std::string("Netscape Internal Disk Cache") + '\0';

// A text index: the header line, then `lines` each followed by `line_end`.
std::string TextIndex(const std::vector<std::string>& lines,
                      std::string_view header = "MCOM-Cache-file-allocation-table-format-1",
                      std::string_view line_end = "\n");
// One text line of seven fields and an eighth, tab-separated.
std::string TextIndexLine(std::int64_t time, std::string_view path, std::string_view url,
                          std::string_view mime_type, std::string_view eighth = "1573");

// One hash page laid out the way the library packs pairs: keys and data from
// the page end downward, an offset table of (key, data) offsets, then the
// free-space word and the data-start word.
class RawPage {
 public:
  explicit RawPage(std::uint32_t page_size) : page_size_(page_size) {}
  RawPage& Add(std::string key, std::string data);
  // A pair of records as Navigator stores them.
  RawPage& AddRecord(const NavigatorRecord& record) {
    return Add(NavigatorKey(record.url), NavigatorData(record));
  }
  // Ends the table with a link to an overflow page (the address, then 0),
  // as the library does when a bucket's pairs continue on another page.
  RawPage& LinkOverflow(std::uint16_t address) {
    overflow_address_ = address;
    return *this;
  }
  // The page bytes (little-endian table unless `big_endian`).
  std::string Build(bool big_endian = false) const;

 private:
  std::uint32_t page_size_;
  std::uint16_t overflow_address_ = 0;
  std::vector<std::pair<std::string, std::string>> pairs_;
};

// A hash-file header page: magic, version 2, byte order, page size.
std::string HashHeaderPage(std::uint32_t page_size, bool big_endian = false);
// A database file: a header page (or `header` when given), then the pages.
std::string DatabaseFile(std::uint32_t page_size, const std::vector<std::string>& pages,
                         bool big_endian = false);

}  // namespace webhoard::testing
