// The catalogue record of one archived item: the only writer and the only
// reader of archive.dat's bytes. The archive run, re-index, the search and
// the catalogue listing all come through here, so they agree on every byte.
//
// archive.dat is a plain sequence of item records, in list order, with no
// header, count or terminator. One record (all integers little-endian, the
// texts follow the head without padding):
//
//   offset 0        int32   MimeIndex
//   offset 4        int32   Category
//   offset 8        double  Date (days since 1899-12-30 local time)
//   offset 16       uint32  L1 = length of URL + 1
//   offset 20       uint32  L2 = length of Title + 1
//   offset 24       uint32  L3 = length of ArchiveName + 1
//   offset 28       L1 bytes: URL, then its NUL
//   offset 28+L1    L2 bytes: Title, then its NUL (an empty title is one NUL)
//   offset 28+L1+L2 L3 bytes: ArchiveName, then its NUL
//
// CacheKey, Domain and LocalFile are not stored; whoever reads a record back
// recomputes Domain from URL.
//
// A record is well formed only when its whole head is there, every length is
// at least 1 and fits in what is left of the file, and every text holds no
// NUL but its last byte. Reading stops at the first record that is not well
// formed and says why and where; the records before it stand. Nothing is
// ever allocated from a length that was not checked against the bytes
// actually present, and a text is written up to its first NUL, so whatever
// is written reads back as the same record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "cache/cache_item.h"

namespace webhoard {

class ByteSink;                 // cache/byte_stream.h
class TSimpleBufferFileStream;  // cache/buffered_file_stream.h

inline constexpr std::size_t kArchiveRecordHeadSize = 28;

// What one attempt to read a record found.
enum class RecordReadResult {
  kRecord,   // one well-formed record was read into the item
  kEnd,      // the bytes ended exactly where a record would begin
  kDamaged,  // the bytes from here on are no well-formed record
};

// Writes the record of `item` with five plain writes (head, lengths, the
// three texts). Throws StreamError when the sink cannot take the bytes, or
// when a text is too long for its 32-bit length.
void WriteArchiveRecord(ByteSink& sink, const TCacheItem& item);
// The same record appended to a byte string.
void AppendArchiveRecord(std::string& out, const TCacheItem& item);

// Where a reader takes its bytes from: the buffered catalogue file, or
// bytes already in memory.
class RecordSource {
 public:
  virtual ~RecordSource() = default;
  // Delivers up to `count` bytes; fewer only at the end of the bytes.
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Whether at least `count` bytes are left after what was delivered.
  virtual bool Holds(std::uint64_t count) = 0;
};

// Reads records one at a time, strictly. After kDamaged every further read
// answers kDamaged again.
class ArchiveRecordReader {
 public:
  // Reads a catalogue file through its 32 KiB read-ahead.
  explicit ArchiveRecordReader(TSimpleBufferFileStream& stream);
  // Reads catalogue bytes held in memory (they must outlive the reader).
  explicit ArchiveRecordReader(std::string_view bytes);
  ~ArchiveRecordReader();
  ArchiveRecordReader(const ArchiveRecordReader&) = delete;
  ArchiveRecordReader& operator=(const ArchiveRecordReader&) = delete;

  // Reads the next record into `item` (MimeIndex, Category, Date, URL,
  // Title, ArchiveName; the other fields are left alone). At the end and at
  // damage the item is unchanged.
  RecordReadResult ReadFromStream(TCacheItem& item);

  // Which record was damaged, at which byte offset, and what is wrong;
  // empty until damage is met.
  const std::string& damage() const { return damage_; }
  // Well-formed records read so far, and the bytes they occupy.
  std::size_t records() const { return records_; }
  std::uint64_t offset() const { return offset_; }

 private:
  RecordReadResult Fail(const std::string& what);
  bool ReadExactly(void* buffer, std::size_t count, std::size_t& got);

  std::unique_ptr<RecordSource> owned_source_;
  RecordSource& source_;
  std::string damage_;
  std::size_t records_ = 0;
  std::uint64_t offset_ = 0;
};

struct ArchiveRecordParse {
  TCacheItemList items;      // the well-formed records, in file order (no Domain yet)
  std::size_t consumed = 0;  // bytes they occupy from the start
  std::string damage;        // empty when every byte belonged to a record
};

// Reads every record of catalogue bytes held in memory, up to the end or
// the first damaged record.
ArchiveRecordParse ParseArchiveRecords(std::string_view bytes);

}  // namespace webhoard
