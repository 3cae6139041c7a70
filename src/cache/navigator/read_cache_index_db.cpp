// The database index of Navigator 2 to 4 ("FAT.DB"): a hash file of P-byte
// pages, P = 4096 or 16384. Page 0 is the file header and is skipped; every
// later page is read whole and parsed on its own.
//
// Page layout (16-bit words, little-endian unless the file header names the
// big-endian order, offsets from the page start):
//   0          N: words in the offset table; N = 0 or N >= P: nothing here
//   2          offset table, descending page offsets of the stored items
//   then       F: free bytes between the end of the word D and the data area
//   then       D: start of the data area (equal to the lowest table offset)
//   D..P       records, lowest offset first
// The reader does not trust N; it walks the descending offsets until the
// word D repeats the last one (bounded: 501 passes of at most 500 steps).
// Any word outside the page reads as 0 and offsets wrap at 65536, so a
// damaged page can neither run away nor reach outside the buffer.
//
// Record (offsets from its start R; each length field is 4 bytes of which
// the low 16 bits count; texts are NUL-terminated):
//   R+0   L   length of the data part after the key's size field
//   R+12  T   time, signed seconds since 1970
//   R+29  FL  file name length, R+33 the file name
//   R+62+FL      X  length of a skipped text
//   R+66+FL+X    ML MIME type length, R+70+FL+X the type
//   K = R+4+L:   UL URL length, K+4 the URL, K+4+UL PL, K+8+UL PL skipped bytes
//   next record at K+8+UL+PL
// Fields over their limits (file name 50, type 100, URL 512) read as empty
// and the walk goes on with the lengths as stored; at most 250 records per
// page. Settings entries of the browser ("INT_..." keys with small values)
// may open the data area; they are stepped over.
#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cache/navigator/read_cache_index_parts.h"
#include "common/ascii.h"
#include "common/little_endian.h"

namespace webhoard {
namespace {

constexpr std::uint32_t kBufferSize = 16384;
constexpr int kMaxWalkPasses = 501;
constexpr int kMaxStepsPerPass = 500;
constexpr int kMaxRecordsPerPage = 250;
constexpr std::uint32_t kSettingsWindow = 101;
constexpr std::uint32_t kFileNameLimit = 50;
constexpr std::uint32_t kMimeLimit = 100;
constexpr std::uint32_t kUrlLimit = 512;
constexpr std::size_t kMimeChars = 50;

constexpr std::string_view kExternalCacheName = "INT_ExternalCacheNameString";
constexpr std::string_view kDiskCacheNumber = "INT_DiskCacheNumber";
constexpr std::string_view kDiskCacheSize = "INT_DiskCacheSize";

// Word and text access within one page; every offset is a 16-bit value.
class Page {
 public:
  Page(const std::uint8_t* bytes, std::uint32_t size, bool big_endian_words)
      : bytes_(bytes), size_(size), big_endian_words_(big_endian_words) {}

  std::uint32_t size() const { return size_; }

  // A word of the offset table.
  std::uint16_t Word(std::uint16_t offset) const {
    if (offset + 2u >= size_) return 0;
    const std::uint16_t value = LoadLE<std::uint16_t>(bytes_ + offset);
    return big_endian_words_ ? static_cast<std::uint16_t>((value >> 8) | (value << 8)) : value;
  }
  std::uint32_t Long(std::uint16_t offset) const {
    return offset + 4u < size_ ? LoadLE<std::uint32_t>(bytes_ + offset) : 0;
  }
  // The low 16 bits of a 4-byte length field.
  std::uint16_t Length(std::uint16_t offset) const {
    return static_cast<std::uint16_t>(Long(offset) & 0xFFFF);
  }
  // Up to `length` bytes from `offset`, ending at the first NUL and at the
  // page end.
  std::string_view Text(std::uint16_t offset, std::uint32_t length) const {
    if (offset >= size_) return {};
    const std::uint32_t end = std::min<std::uint32_t>(size_, offset + length);
    const auto* start = reinterpret_cast<const char*>(bytes_ + offset);
    const std::size_t available = end - offset;
    const void* nul = std::memchr(start, 0, available);
    return {start, nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - start)
                                  : available};
  }
  bool HasTextAt(std::uint32_t offset, std::string_view text) const {
    return offset <= size_ && text.size() <= size_ - offset &&
           std::memcmp(bytes_ + offset, text.data(), text.size()) == 0;
  }

 private:
  const std::uint8_t* bytes_;
  std::uint32_t size_;
  bool big_endian_words_;
};

std::uint16_t Add16(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::uint16_t>(a + b);
}

// The start of the data area, found by walking the descending offset table.
std::uint16_t FindDataArea(const Page& page) {
  std::uint16_t a = 0xFFFF;
  std::uint16_t b = 0xFFFF;
  std::uint16_t pos = 4;
  std::uint16_t v = page.Word(pos);
  for (int pass = 0; pass < kMaxWalkPasses; ++pass) {
    for (int step = 0; b > v && step < kMaxStepsPerPass; ++step) {
      a = b;
      b = v;
      pos = Add16(pos, 2);
      v = page.Word(pos);
    }
    if (v != a) {
      pos = Add16(pos, 4);
      v = page.Word(pos);
    }
    if (v == a) break;
  }
  return Add16(b, Add16(pos, 2));
}

// The data area as the page's own header gives it, when that header is
// self-consistent: N table words, then F and D with D = F + the end of the
// word D. 0 otherwise. The descending walk misses it on a page whose table
// ends in a link to an overflow page (a small page number, then 0) when the
// page's data lies above that number, as on a half-emptied page of a bucket
// with an overflow chain; every record of such a page would be lost.
std::uint16_t DataAreaFromHeader(const Page& page) {
  const std::uint32_t count = page.Word(0);
  const std::uint32_t table_end = 2 * (count + 3);
  if (count < 2 || table_end > page.size()) return 0;
  const std::uint32_t free_bytes = page.Word(static_cast<std::uint16_t>(2 * count + 2));
  const std::uint32_t data_start = page.Word(static_cast<std::uint16_t>(2 * count + 4));
  if (data_start >= page.size() || data_start != free_bytes + table_end) return 0;
  return static_cast<std::uint16_t>(data_start);
}

// Past the settings entries that may open the data area: the end of the
// last of their key names found in the first 101 bytes.
std::uint16_t SkipLeadingSettings(const Page& page, std::uint16_t start) {
  if (start >= page.size()) return start;
  const std::uint32_t window = std::min<std::uint32_t>(kSettingsWindow, page.size() - start);
  std::uint32_t end = 0;
  for (std::string_view name : {kExternalCacheName, kDiskCacheNumber, kDiskCacheSize}) {
    for (std::uint32_t i = 0; i + name.size() <= window; ++i) {
      if (page.HasTextAt(start + i, name)) {
        end = std::max<std::uint32_t>(end, i + static_cast<std::uint32_t>(name.size()));
        break;
      }
    }
  }
  return Add16(start, end);
}

// A settings entry starting at `pos` among the records (the browser keeps
// rewriting its counters, but the cache name stays where it was first
// stored): the offset just past it, or 0 when `pos` holds no settings entry.
// A cache record cannot match: its bytes 4..7 are a small version number,
// and its length field (below 65536) puts NULs in its bytes 2 and 3.
std::uint32_t SettingsEntryEnd(const Page& page, std::uint16_t pos) {
  for (std::string_view name : {kDiskCacheSize, kDiskCacheNumber}) {
    if (page.HasTextAt(pos + 4u, name)) return pos + 4u + static_cast<std::uint32_t>(name.size());
  }
  const std::string_view value = page.Text(pos, kSettingsWindow);
  const std::uint32_t key = pos + static_cast<std::uint32_t>(value.size()) + 1;
  if (page.HasTextAt(key, kExternalCacheName)) {
    return key + static_cast<std::uint32_t>(kExternalCacheName.size());
  }
  return 0;
}

}  // namespace

void ParseDatabasePage(const std::uint8_t* bytes, std::uint32_t page_size, std::uint32_t bytes_read,
                       bool big_endian_tables, CacheEntryBuilder& builder, Prompter& prompter,
                       CacheIndexStats& stats) {
  const Page page(bytes, page_size, big_endian_tables);
  const std::uint16_t count = page.Word(0);
  if (count == 0 || count >= page_size) return;

  std::uint16_t start = FindDataArea(page);
  if (const std::uint16_t from_header = DataAreaFromHeader(page);
      from_header != 0 && from_header != start) {
    ++stats.data_area_from_header;
    start = from_header;
  }
  std::uint16_t pos = SkipLeadingSettings(page, start);
  prompter.ProcessPendingMessages();

  for (int record = 0; record < kMaxRecordsPerPage && pos < page_size; ++record) {
    const std::uint16_t r = pos;
    if (const std::uint32_t end = SettingsEntryEnd(page, r); end != 0) {
      ++stats.settings_skipped;
      pos = static_cast<std::uint16_t>(end);
      continue;
    }
    const std::uint16_t data_length = page.Length(r);
    const auto time = static_cast<std::int32_t>(page.Long(Add16(r, 12)));
    const std::uint16_t name_length = page.Length(Add16(r, 29));
    const std::string_view name =
        name_length < kFileNameLimit ? page.Text(Add16(r, 33), name_length) : std::string_view();
    const std::uint16_t skipped_length = page.Length(Add16(r, 62u + name_length));
    const std::uint16_t mime_at = Add16(r, 66u + name_length + skipped_length);
    const std::uint16_t mime_length = page.Length(mime_at);
    const std::string_view mime =
        mime_length < kMimeLimit ? page.Text(Add16(mime_at, 4), mime_length) : std::string_view();

    const std::uint16_t key = Add16(r, 4u + data_length);
    const std::uint16_t url_length = page.Length(key);
    const std::string_view url =
        url_length < kUrlLimit ? page.Text(Add16(key, 4), url_length).substr(0, kShortTextLength)
                               : std::string_view();
    const std::uint16_t post_length = page.Length(Add16(key, 4u + url_length));
    pos = Add16(key, 8u + url_length + post_length);

    // On a short final page, a record that runs past the bytes read would
    // give a cut address or name: it was not read, so it is no entry.
    if (bytes_read < page_size && (pos > bytes_read || pos <= r)) {
      ++stats.records_cut_short;
      continue;
    }

    builder.AddCacheEntry(url, AsciiLower(name), AsciiLower(mime.substr(0, kMimeChars)), time);
  }
}

void ReadDatabaseCacheIndex(std::FILE* file, std::uint32_t page_size, bool big_endian_tables,
                            CacheEntryBuilder& builder, Prompter& prompter, CacheIndexStats& stats,
                            const ReadStopCheck& stop) {
  // One buffer for the whole read; a page never exceeds it.
  std::vector<std::uint8_t> buffer(kBufferSize);
  page_size = std::min(page_size, kBufferSize);
  if (std::fread(buffer.data(), 1, page_size, file) != page_size) return;  // no header page
  for (;;) {
    if (stop && stop()) {
      stats.stopped = true;
      return;
    }
    const std::size_t got = std::fread(buffer.data(), 1, page_size, file);
    if (got == 0) break;
    ++stats.pages_read;
    const bool short_page = got < page_size;
    // A final short page: only the bytes read count; the rest of the buffer
    // must not show the previous page.
    if (short_page) {
      std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(got), buffer.end(), 0);
      stats.short_final_page = true;
    }
    ParseDatabasePage(buffer.data(), page_size, static_cast<std::uint32_t>(got), big_endian_tables,
                      builder, prompter, stats);
    if (short_page) break;
  }
}

}  // namespace webhoard
