#include "archive/archive_record.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "cache/buffered_file_stream.h"
#include "cache/byte_stream.h"
#include "common/little_endian.h"

namespace webhoard {
namespace {

constexpr std::size_t kHeadSize = 16;
constexpr std::size_t kLengthsSize = 12;
constexpr const char* kTextNames[3] = {"URL", "title", "archive name"};

// The text as a reader sees it: up to its first NUL.
std::string_view RecordText(const std::string& text) {
  return std::string_view(text.c_str());
}

std::uint32_t StoredLength(std::string_view text) {
  if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
    throw StreamError("text too long for an item record");
  }
  return static_cast<std::uint32_t>(text.size() + 1);
}

class FileSource final : public RecordSource {
 public:
  explicit FileSource(TSimpleBufferFileStream& stream) : stream_(stream) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    return stream_.ReadBuffered(buffer, count);
  }
  // The size last seen first; the file system is asked again only when that
  // would not back the length, so most records cost no system call here.
  bool Holds(std::uint64_t count) override {
    return count <= stream_.BytesRemaining() || count <= stream_.RefreshedBytesRemaining();
  }

 private:
  TSimpleBufferFileStream& stream_;
};

class MemorySource final : public RecordSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t got = std::min(count, bytes_.size() - position_);
    if (got > 0) std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    return got;
  }
  bool Holds(std::uint64_t count) override { return count <= bytes_.size() - position_; }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// A sink that appends to a byte string.
class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  void Write(const void* data, std::size_t count) override {
    out_.append(static_cast<const char*>(data), count);
  }

 private:
  std::string& out_;
};

}  // namespace

void WriteArchiveRecord(ByteSink& sink, const TCacheItem& item) {
  const std::string_view texts[3] = {RecordText(item.URL), RecordText(item.Title),
                                     RecordText(item.ArchiveName)};
  std::uint8_t head[kHeadSize];
  StoreLE<std::int32_t>(head, item.MimeIndex);
  StoreLE<std::int32_t>(head + 4, item.Category);
  StoreLE<std::uint64_t>(head + 8, BitsFromDouble(item.Date));
  std::uint8_t lengths[kLengthsSize];
  for (int k = 0; k < 3; ++k) StoreLE<std::uint32_t>(lengths + 4 * k, StoredLength(texts[k]));

  sink.Write(head, sizeof head);
  sink.Write(lengths, sizeof lengths);
  // Each view ends where the string holds a NUL (its own or an embedded
  // one), so size + 1 bytes write the text with its terminator.
  for (const std::string_view text : texts) sink.Write(text.data(), text.size() + 1);
}

void AppendArchiveRecord(std::string& out, const TCacheItem& item) {
  StringSink sink(out);
  WriteArchiveRecord(sink, item);
}

ArchiveRecordReader::ArchiveRecordReader(TSimpleBufferFileStream& stream)
    : owned_source_(std::make_unique<FileSource>(stream)), source_(*owned_source_) {}

ArchiveRecordReader::ArchiveRecordReader(std::string_view bytes)
    : owned_source_(std::make_unique<MemorySource>(bytes)), source_(*owned_source_) {}

ArchiveRecordReader::~ArchiveRecordReader() = default;

RecordReadResult ArchiveRecordReader::Fail(const std::string& what) {
  damage_ = "record " + std::to_string(records_) + " at offset " + std::to_string(offset_) + ": " +
            what;
  return RecordReadResult::kDamaged;
}

// Reads until `count` bytes arrived or the source has no more (one read of
// the read-ahead delivers at most 32 KiB).
bool ArchiveRecordReader::ReadExactly(void* buffer, std::size_t count, std::size_t& got) {
  got = 0;
  while (got < count) {
    const std::size_t delivered = source_.Read(static_cast<char*>(buffer) + got, count - got);
    if (delivered == 0) break;
    got += delivered;
  }
  return got == count;
}

RecordReadResult ArchiveRecordReader::ReadFromStream(TCacheItem& item) {
  if (!damage_.empty()) return RecordReadResult::kDamaged;
  std::uint8_t head[kHeadSize + kLengthsSize];
  std::size_t got = 0;
  if (!ReadExactly(head, sizeof head, got)) {
    if (got == 0) return RecordReadResult::kEnd;
    return Fail("the file ends inside its head (" + std::to_string(got) + " of " +
                std::to_string(kArchiveRecordHeadSize) + " bytes)");
  }
  std::string texts[3];
  std::uint64_t size = sizeof head;
  for (int k = 0; k < 3; ++k) {
    const std::uint32_t length = LoadLE<std::uint32_t>(head + kHeadSize + 4 * k);
    const std::string name = kTextNames[k];
    if (length == 0) return Fail("zero length of the " + name);
    // The length comes from the file: it is trusted only as far as the file
    // backs it, before anything is allocated for it.
    if (!source_.Holds(length)) {
      return Fail("length " + std::to_string(length) + " of the " + name +
                  " runs past the end of the file");
    }
    texts[k].resize(length);
    if (!ReadExactly(texts[k].data(), length, got)) {
      return Fail("the file ends inside the " + name);
    }
    if (texts[k].find('\0') != length - 1) return Fail("the " + name + " is not a NUL-terminated text");
    texts[k].pop_back();
    size += length;
  }
  item.MimeIndex = LoadLE<std::int32_t>(head);
  item.Category = LoadLE<std::int32_t>(head + 4);
  item.Date = DoubleFromBits(LoadLE<std::uint64_t>(head + 8));
  item.URL = std::move(texts[0]);
  item.Title = std::move(texts[1]);
  item.ArchiveName = std::move(texts[2]);
  ++records_;
  offset_ += size;
  return RecordReadResult::kRecord;
}

ArchiveRecordParse ParseArchiveRecords(std::string_view bytes) {
  ArchiveRecordParse parse;
  ArchiveRecordReader reader(bytes);
  for (;;) {
    auto item = std::make_unique<TCacheItem>();
    if (reader.ReadFromStream(*item) != RecordReadResult::kRecord) break;
    parse.items.push_back(std::move(item));
  }
  parse.consumed = static_cast<std::size_t>(reader.offset());
  parse.damage = reader.damage();
  return parse;
}

}  // namespace webhoard
