#include "cache/cache_item.h"

#include <cstring>
#include <limits>

#include "cache/buffered_file_stream.h"
#include "cache/byte_stream.h"
#include "common/little_endian.h"

namespace webhoard {
namespace {

constexpr std::size_t kHeadSize = 16;
constexpr std::size_t kLengthsSize = 12;

// The text as a NUL-terminated record text sees it: up to its first NUL.
std::string_view RecordText(const std::string& text) {
  return std::string_view(text.c_str());
}

std::uint32_t StoredLength(std::string_view text) {
  if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
    throw StreamError("text too long for an item record");
  }
  return static_cast<std::uint32_t>(text.size() + 1);
}

// Reads `length` bytes of one stored text. ReadBuffered hands out at most
// one read-ahead's worth per call, so a long text takes several calls. The
// text keeps the bytes actually delivered, up to the first NUL among them.
std::string ReadText(TSimpleBufferFileStream& stream, std::uint32_t length) {
  std::string bytes(length, '\0');
  std::size_t delivered = 0;
  while (delivered < length) {
    const std::size_t got = stream.ReadBuffered(bytes.data() + delivered, length - delivered);
    if (got == 0) break;
    delivered += got;
  }
  bytes.resize(delivered);
  const auto nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  return bytes;
}

}  // namespace

void TCacheItem::WriteToStream(ByteSink& sink) const {
  const std::string_view url = RecordText(URL);
  const std::string_view title = RecordText(Title);
  const std::string_view archive_name = RecordText(ArchiveName);

  std::uint8_t head[kHeadSize];
  StoreLE<std::int32_t>(head, MimeIndex);
  StoreLE<std::int32_t>(head + 4, Category);
  StoreLE<std::uint64_t>(head + 8, BitsFromDouble(Date));
  std::uint8_t lengths[kLengthsSize];
  StoreLE<std::uint32_t>(lengths, StoredLength(url));
  StoreLE<std::uint32_t>(lengths + 4, StoredLength(title));
  StoreLE<std::uint32_t>(lengths + 8, StoredLength(archive_name));

  sink.Write(head, sizeof head);
  sink.Write(lengths, sizeof lengths);
  // Each view ends where the string holds a NUL (its own or an embedded one),
  // so size + 1 bytes write the text with its terminator.
  sink.Write(url.data(), url.size() + 1);
  sink.Write(title.data(), title.size() + 1);
  sink.Write(archive_name.data(), archive_name.size() + 1);
}

bool TCacheItem::ReadFromStream(TSimpleBufferFileStream& stream) {
  return ReadRecord(stream) != RecordReadResult::kRecord;
}

RecordReadResult TCacheItem::ReadRecord(TSimpleBufferFileStream& stream) {
  std::uint8_t head[kHeadSize];
  const std::size_t head_read = stream.ReadBuffered(head, sizeof head);
  if (head_read == 0) return RecordReadResult::kEnd;
  if (head_read < sizeof head) return RecordReadResult::kDamaged;

  std::uint8_t lengths[kLengthsSize];
  if (stream.ReadBuffered(lengths, sizeof lengths) < sizeof lengths) {
    return RecordReadResult::kDamaged;
  }
  const std::uint32_t url_length = LoadLE<std::uint32_t>(lengths);
  const std::uint32_t title_length = LoadLE<std::uint32_t>(lengths + 4);
  const std::uint32_t name_length = LoadLE<std::uint32_t>(lengths + 8);

  // The lengths come from the file: they are trusted only as far as the file
  // can back them. The sum of three 32-bit values cannot overflow 64 bits.
  const std::uint64_t texts = std::uint64_t{url_length} + title_length + name_length;
  if (texts > stream.BytesRemaining() && texts > stream.RefreshedBytesRemaining()) {
    return RecordReadResult::kDamaged;
  }

  std::string url = ReadText(stream, url_length);
  std::string title = ReadText(stream, title_length);
  std::string archive_name = ReadText(stream, name_length);

  MimeIndex = LoadLE<std::int32_t>(head);
  Category = LoadLE<std::int32_t>(head + 4);
  Date = DoubleFromBits(LoadLE<std::uint64_t>(head + 8));
  URL = std::move(url);
  Title = std::move(title);
  ArchiveName = std::move(archive_name);
  return RecordReadResult::kRecord;
}

}  // namespace webhoard
