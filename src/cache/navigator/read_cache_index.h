// Netscape Navigator's cache index: fills the cache item list from it.
//
// Navigator keeps one index file in its cache folder, in one of two formats,
// told apart by the first ten characters of the file:
//   - "FAT" of Navigator 1.x: a text file whose first line begins
//     "MCOM-CACHE" or "MOSAIC-COM" (any case), one entry per further line;
//   - "FAT.DB" of Navigator 2 to 4: a hash file of fixed-size pages
//     (4096 or 16384 bytes), read page by page.
// Both readers hand every entry to one builder (cache_entry_builder.h) that
// keeps it only when its address is usable, its cached file lies inside the
// cache folder and exists, and no earlier entry of the same read already
// gave the same address. The index is only read, never written.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "cache/cache_item.h"
#include "cache/read_stop.h"
#include "common/prompter.h"

namespace webhoard {

enum class CacheIndexFormat { kUnknown, kText, kDatabase };

// What one read met and why entries were left out; for reporting by the
// command line and for tests. Counts are kept wide: an index may hold
// hundreds of thousands of entries.
struct CacheIndexStats {
  CacheIndexFormat format = CacheIndexFormat::kUnknown;
  std::uint32_t page_size = 0;              // database pages: 4096 or 16384
  bool page_size_from_header = false;       // taken from a valid hash-file header
  bool big_endian_tables = false;           // the header names big-endian page tables
  std::uint64_t pages_read = 0;             // database pages after the header page
  bool short_final_page = false;            // the file ended inside a page
  std::uint64_t records_cut_short = 0;      // records of that page not wholly read
  std::uint64_t lines_skipped = 0;          // text lines with seven fields or fewer
  std::uint64_t settings_skipped = 0;       // settings entries stepped over between records
  std::uint64_t data_area_from_header = 0;  // pages where the offset walk went astray
  bool stopped = false;                     // the stop check ended the read early

  std::uint64_t entries = 0;              // entries handed to the builder
  std::uint64_t items_added = 0;          // items appended to the list
  std::uint64_t dropped_no_host = 0;      // rejected scheme or empty host
  std::uint64_t dropped_unsafe_name = 0;  // file name pointing outside the cache folder
  std::uint64_t dropped_duplicate = 0;    // address already taken by this read
  std::uint64_t dropped_no_file = 0;      // cached file missing
  std::uint64_t dropped_not_regular = 0;  // a link, a folder or a pipe, or outside the cache folder
  std::uint64_t found_ignoring_case = 0;  // file found only by a case-blind look-up

  std::uint64_t dropped() const {
    return dropped_no_host + dropped_unsafe_name + dropped_duplicate + dropped_no_file +
           dropped_not_regular;
  }
};

// A read or seek failure after the index file was opened (other than the end
// of the page walk, which only ends the read). Items appended so far stay.
class CacheIndexError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The warning shown when the index file cannot be opened (Navigator running
// and holding it, or no such file).
inline constexpr std::string_view kCloseNavigatorWarning =
    "Please close down Netscape\r\nbefore continuing.";

// Reads the index at `index_path` and appends one item per usable entry to
// `items`, never removing any. Answers false only when the file cannot be
// opened (after showing kCloseNavigatorWarning through `prompter`); true
// otherwise, also when nothing was found. Lets `prompter` process pending
// messages once per database page and before every fifth text line. Asks
// `stop` before every kEntriesPerStopCheck-th text line and before every
// database page; when it answers true the read ends there, with
// `stats->stopped` set (a caller that stops a read passes `stats`). Throws
// CacheIndexError when reading fails in another way. `stats`, when given, is
// reset and filled.
bool ReadCacheIndex(std::string_view index_path, TCacheItemList& items, Prompter& prompter,
                    CacheIndexStats* stats = nullptr, const ReadStopCheck& stop = {});

// Which format a file with these first bytes is read as.
CacheIndexFormat DetectCacheIndexFormat(std::string_view first_bytes);

}  // namespace webhoard
