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
//
// A record whose length fields promise more bytes than the file still holds
// is damage, never an allocation request: reading stops there ("at end") and
// the records before it stand. ReadRecord tells a clean end from damage.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace webhoard {

class TSimpleBufferFileStream;
class ByteSink;  // cache/byte_stream.h

// What one attempt to read an item record found.
enum class RecordReadResult {
  kRecord,   // one record was read into the item
  kEnd,      // the file ended exactly where a record would begin
  kDamaged,  // the file ends inside a record, or its lengths exceed the file
};

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

  // Appends the item record to `sink` (five writes: head, lengths, texts).
  // A text ends at its first NUL, as it would when read back. Throws
  // StreamError when the sink cannot take the bytes.
  void WriteToStream(ByteSink& sink) const;
  // Reads one record into the item. Answers true ("at end") when no further
  // record could be read, false when one record was read. At the end, and at
  // damage, the item is left unchanged.
  bool ReadFromStream(TSimpleBufferFileStream& stream);
  // The same read, telling a clean end of the file from damage. A record
  // whose texts come up short although the file's size promised them (a read
  // error) is still a record: its texts hold the bytes delivered.
  RecordReadResult ReadRecord(TSimpleBufferFileStream& stream);
};

// The application-wide cache item list, in the order the reader met entries.
using TCacheItemList = std::vector<std::unique_ptr<TCacheItem>>;

}  // namespace webhoard
