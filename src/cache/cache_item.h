// One cache entry, and also one record of an archive's catalogue.
//
// A cache reader builds one TCacheItem per usable entry and appends it to the
// cache item list; the archive run fills in Title and ArchiveName; the
// catalogue (archive.dat) is a plain sequence of item records.
//
// Record layout (all integers little-endian, texts follow without padding):
//   offset 0   int32   MimeIndex
//   offset 4   int32   Category
//   offset 8   double  Date
//   offset 16  uint32  L1 = length of URL + 1
//   offset 20  uint32  L2 = length of Title + 1
//   offset 24  uint32  L3 = length of ArchiveName + 1
//   offset 28  L1 bytes URL with its NUL, then L2 bytes Title, then L3 bytes ArchiveName
// CacheKey, Domain and LocalFile are not part of the record.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace webhoard {

class TSimpleBufferFileStream;
class ByteSink;

// Categories of an item's type (see mime_types.h).
enum Category : std::int32_t { kCategoryText = 0, kCategoryMedia = 1, kCategoryOther = 2 };

class TCacheItem {
 public:
  std::int32_t MimeIndex = 0;  // 1-based position in the MIME type list, 0 = unknown
  std::int32_t Category = 0;   // kCategoryText, kCategoryMedia or kCategoryOther
  double Date = 0.0;           // days since 1899-12-30 local time
  std::string URL;             // canonical "http://host:port/path"
  std::string Title;           // set by the archive run
  std::string ArchiveName;     // set by the archive run
  std::optional<std::string> CacheKey;  // Internet Explorer edition: the cache's own key
  std::string Domain;          // cleaned host, never "NONE" in the cache item list
  std::string LocalFile;       // full path of the cached file

  // Appends the item record to `sink` (five writes: head, lengths, texts).
  void WriteToStream(ByteSink& sink) const;
  // Reads one record into the item. Answers true ("at end") when no further
  // record could be read, false when one record was read.
  bool ReadFromStream(TSimpleBufferFileStream& stream);
};

// The application-wide cache item list, in the order the reader met entries.
using TCacheItemList = std::vector<std::unique_ptr<TCacheItem>>;

}  // namespace webhoard
