#include "cache/firefox/cache2_entry.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "cache/firefox/firefox_key.h"
#include "cache/firefox/lookup2.h"
#include "cache/http/response_head.h"
#include "common/big_endian.h"
#include "common/little_endian.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::uint64_t kChunkSize = 256 * 1024;
// Most metadata blocks (headers, a TLS state) fit in one read from the end
// of the file.
constexpr std::uint64_t kTailReadSize = 16 * 1024;
// The newest metadata version, the one with the two-word trailer.
constexpr std::uint32_t kTwoWordTrailerVersion = 4;
constexpr std::uint32_t kEncryptedBit = 0x80000000u;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool SeekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// The size of the open file, asked of the file itself (no seek).
std::optional<std::uint64_t> SizeOf(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 info {};
  if (_fstat64(_fileno(file), &info) != 0 || info.st_size < 0) return std::nullopt;
#else
  struct stat info {};
  if (fstat(fileno(file), &info) != 0 || info.st_size < 0) return std::nullopt;
#endif
  return static_cast<std::uint64_t>(info.st_size);
}

// `length` bytes from `offset`, or nullopt when the file has fewer.
std::optional<std::string> ReadAt(std::FILE* file, std::uint64_t offset, std::uint64_t length) {
  if (!SeekTo(file, offset)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(length), '\0');
  if (length > 0 && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    return std::nullopt;
  }
  return bytes;
}

std::uint32_t Word(std::string_view bytes, std::size_t offset) {
  return LoadBE<std::uint32_t>(reinterpret_cast<const std::uint8_t*>(bytes.data() + offset));
}

Cache2EntryRead Skipped(SkipReason reason) {
  Cache2EntryRead read;
  read.skip = reason;
  return read;
}

struct Trailer {
  std::uint64_t data_size = 0;  // where the metadata starts
  std::uint64_t length = 4;     // bytes of trailer at the end of the file
  bool two_words = false;
  bool encrypted = false;
};

// The trailer from the file's last bytes (`end` holds at least the last 8,
// or the whole file when it is shorter). Version 4 puts its version word
// before the offset; in versions 1-3 that word is the end of the elements,
// whose last byte is a NUL, so it never reads as 4.
std::optional<Trailer> ReadTrailer(std::string_view end) {
  if (end.size() < 4) return std::nullopt;
  Trailer trailer;
  const std::uint32_t offset = Word(end, end.size() - 4);
  if (end.size() >= 8 && Word(end, end.size() - 8) == kTwoWordTrailerVersion) {
    trailer.two_words = true;
    trailer.length = 8;
    trailer.encrypted = (offset & kEncryptedBit) != 0;
    trailer.data_size = offset & ~kEncryptedBit;
  } else {
    trailer.data_size = offset;
  }
  return trailer;
}

struct Metadata {
  std::uint32_t last_fetched = 0;
  std::uint32_t last_modified = 0;
  std::string_view key;
  std::vector<std::pair<std::string_view, std::string_view>> elements;

  std::optional<std::string_view> Element(std::string_view name) const {
    for (const auto& [element, value] : elements) {
      if (element == name) return value;
    }
    return std::nullopt;
  }
};

// Splits "name NUL value NUL ..." into pairs; nullopt when a name or a
// value is not ended by a NUL.
std::optional<std::vector<std::pair<std::string_view, std::string_view>>> SplitElements(
    std::string_view bytes) {
  std::vector<std::pair<std::string_view, std::string_view>> elements;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t name_end = bytes.find('\0', pos);
    if (name_end == std::string_view::npos) return std::nullopt;
    const std::size_t value_end = bytes.find('\0', name_end + 1);
    if (value_end == std::string_view::npos) return std::nullopt;
    elements.emplace_back(bytes.substr(pos, name_end - pos),
                          bytes.substr(name_end + 1, value_end - name_end - 1));
    pos = value_end + 1;
  }
  return elements;
}

// The metadata block between the data and the trailer: hash, chunk hashes,
// header, key, elements. Nullopt when any part does not fit or check.
std::optional<Metadata> ParseMetadata(std::string_view block, std::uint64_t data_size,
                                      bool two_words) {
  const std::uint64_t chunks = (data_size + kChunkSize - 1) / kChunkSize;
  const std::uint64_t header_at = 4 + 2 * chunks;
  if (!FitsIn(block.size(), header_at, 28)) return std::nullopt;
  const std::uint32_t version = Word(block, header_at);
  if (two_words ? version != kTwoWordTrailerVersion : (version < 1 || version > 3)) {
    return std::nullopt;
  }
  const std::uint64_t header_size = version == 1 ? 28 : 32;
  if (!FitsIn(block.size(), header_at, header_size)) return std::nullopt;
  const std::uint64_t key_at = header_at + header_size;
  const std::uint64_t key_size = Word(block, header_at + 24);
  if (!FitsIn(block.size(), key_at, key_size + 1) || block[key_at + key_size] != '\0') {
    return std::nullopt;
  }
  if (Lookup2Hash(block.substr(4)) != Word(block, 0)) return std::nullopt;
  Metadata metadata;
  metadata.last_fetched = Word(block, header_at + 8);
  metadata.last_modified = Word(block, header_at + 12);
  metadata.key = block.substr(key_at, key_size);
  auto elements = SplitElements(block.substr(key_at + key_size + 1));
  if (!elements) return std::nullopt;
  metadata.elements = std::move(*elements);
  return metadata;
}

// The body's end from an "alt-data" value "1;<offset>,<type>": the
// alternative data (script bytecode) follows the body in the data.
std::optional<std::uint64_t> AltDataOffset(std::string_view value, std::uint64_t data_size) {
  if (value.substr(0, 2) != "1;") return std::nullopt;
  std::uint64_t offset = 0;
  const char* first = value.data() + 2;
  const char* last = value.data() + value.size();
  const auto [end, error] = std::from_chars(first, last, offset);
  if (error != std::errc() || end == first || end == last || *end != ',') return std::nullopt;
  if (offset > data_size) return std::nullopt;
  return offset;
}

std::optional<std::uint64_t> ContentLength(std::string_view head) {
  const std::optional<std::string> value = HeaderValue(head, "Content-Length");
  if (!value) return std::nullopt;
  std::uint64_t length = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), length);
  if (error != std::errc() || end != value->data() + value->size()) return std::nullopt;
  return length;
}

// The entry's metadata, read and checked, turned into a response or a skip.
Cache2EntryRead ResponseOf(const Metadata& metadata, std::uint64_t data_size,
                           const std::string& path) {
  std::optional<std::string> url = FirefoxKeyUrl(metadata.key);
  const std::optional<std::string_view> head = metadata.Element("response-head");
  if (!url || !head) return Skipped(SkipReason::kNotWeb);
  const std::optional<std::string_view> method = metadata.Element("request-method");
  if (method && *method != "GET") return Skipped(SkipReason::kNotWeb);

  const ResponseHead parsed = ParseResponseHead(*head);
  if (parsed.status == 0) return Skipped(SkipReason::kDamaged);
  if (parsed.status == 206 || HeaderValue(*head, "Content-Range")) {
    return Skipped(SkipReason::kPartial);
  }
  if (parsed.status != 200) {
    Cache2EntryRead read = Skipped(SkipReason::kNotOk);
    if (auto location = RedirectLocation(parsed.status, *head)) {
      read.redirect = StoredRedirect{*url, std::move(*location)};
    }
    return read;
  }

  std::uint64_t body_size = data_size;
  if (const auto alt_data = metadata.Element("alt-data")) {
    const std::optional<std::uint64_t> offset = AltDataOffset(*alt_data, data_size);
    if (!offset) return Skipped(SkipReason::kDamaged);
    body_size = *offset;
  }
  if (body_size == 0) return Skipped(SkipReason::kNoBody);
  // Firefox keeps what arrived of a cancelled download, with a valid
  // trailer: only the promised length tells it from a whole body.
  const std::optional<std::uint64_t> promised = ContentLength(*head);
  if (promised && body_size < *promised) return Skipped(SkipReason::kNotFinished);

  StoredResponse response;
  response.url = std::move(*url);
  response.status = parsed.status;
  response.content_type = parsed.content_type;
  if (metadata.last_modified != 0) {
    response.time = metadata.last_modified;
  } else {
    response.time = parsed.date.value_or(metadata.last_fetched);
  }
  response.body.file = path;
  response.body.offset = 0;
  response.body.length = body_size;
  response.body.content_encoding = parsed.content_encoding;
  Cache2EntryRead read;
  read.response = std::move(response);
  return read;
}

}  // namespace

Cache2EntryRead ReadCache2Entry(const std::string& path) {
  const File file(OpenRegularFile(path));
  // Gone since the listing: the browser doomed or replaced it meanwhile.
  if (!file) return Skipped(errno == ENOENT ? SkipReason::kNotFinished : SkipReason::kDamaged);
  // Two reads at known places: a read-ahead buffer would only add copies
  // and system calls.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  const std::optional<std::uint64_t> size = SizeOf(file.get());
  if (!size) return Skipped(SkipReason::kDamaged);

  const std::uint64_t tail_at = *size > kTailReadSize ? *size - kTailReadSize : 0;
  const std::optional<std::string> tail = ReadAt(file.get(), tail_at, *size - tail_at);
  if (!tail) return Skipped(SkipReason::kNotFinished);  // shrank while read
  const std::optional<Trailer> trailer = ReadTrailer(*tail);
  // No trailer yet, or one pointing past the end (an entry being written
  // ends in ff..ff until its metadata is in place).
  if (!trailer || trailer->data_size >= *size - trailer->length) {
    return Skipped(SkipReason::kNotFinished);
  }
  if (trailer->encrypted) {
    Cache2EntryRead read = Skipped(SkipReason::kDamaged);
    read.encrypted = true;
    return read;
  }

  const std::uint64_t block_at = trailer->data_size;
  const std::uint64_t block_size = *size - trailer->length - block_at;
  if (block_size > kMaxCache2MetadataSize) return Skipped(SkipReason::kDamaged);
  std::string block;
  if (block_at >= tail_at) {
    block = tail->substr(static_cast<std::size_t>(block_at - tail_at),
                         static_cast<std::size_t>(block_size));
  } else {
    std::optional<std::string> read = ReadAt(file.get(), block_at, block_size);
    if (!read) return Skipped(SkipReason::kNotFinished);
    block = std::move(*read);
    // Firefox rewrites the metadata of an entry it reuses: a file whose
    // size moved between the two reads is a snapshot of nothing. (One read
    // needs no such check: the hash covers what it got.)
    if (SizeOf(file.get()) != size) return Skipped(SkipReason::kNotFinished);
  }

  const std::optional<Metadata> metadata = ParseMetadata(block, block_at, trailer->two_words);
  if (!metadata) return Skipped(SkipReason::kDamaged);
  return ResponseOf(*metadata, block_at, path);
}

}  // namespace webhoard
