// One cache entry, and also one record of an archive's catalogue.
//
// A cache reader builds one TCacheItem per usable entry and appends it to the
// cache item list; the archive run fills in Title and ArchiveName; the
// catalogue (archive.dat) is a plain sequence of item records, written and
// read by archive/archive_record.h.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cache/http/stored_response.h"

namespace webhoard {

// Categories of an item's type (see mime_types.h).
enum Category : std::int32_t { kCategoryText = 0, kCategoryMedia = 1, kCategoryOther = 2 };

class TCacheItem {
 public:
  std::int32_t MimeIndex = 0;           // 1-based position in the MIME type list, 0 = unknown
  std::int32_t Category = 0;            // kCategoryText, kCategoryMedia or kCategoryOther
  double Date = 0.0;                    // days since 1899-12-30 local time
  std::string URL;                      // canonical "http://host:port/path"
  std::string Title;                    // set by the archive run
  std::string ArchiveName;              // set by the archive run
  std::optional<std::string> CacheKey;  // Internet Explorer edition: the cache's own key
  std::string Domain;                   // cleaned host, never "NONE" in the cache item list
  std::string LocalFile;                // full path of the cached file
  // Today's browsers: where the body lies inside a cache file and how it is
  // encoded; the archive copies (and decodes) that byte range instead of
  // LocalFile. Never in the catalogue.
  std::optional<StoredBody> Body;
};

// The application-wide cache item list, in the order the reader met entries.
using TCacheItemList = std::vector<std::unique_ptr<TCacheItem>>;

}  // namespace webhoard
