#include "cache/chromium/simple_cache_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

#include "cache/chromium/chromium_entry.h"
#include "cache/chromium/super_fast_hash.h"
#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::uint64_t kInitialMagic = 0xfcfb6d1ba7725c30;
constexpr std::uint64_t kFinalMagic = 0xf4fa6f45970d41d8;
constexpr std::uint32_t kEntryVersion = 5;
constexpr std::uint64_t kHeaderSize = 24;
constexpr std::uint64_t kEndRecordSize = 24;
constexpr std::uint64_t kKeySha256Size = 32;
// Bits of an end record's flags.
constexpr std::uint32_t kHasCrc32 = 1;
constexpr std::uint32_t kHasKeySha256 = 2;

// Limits far beyond anything the browser writes (its URLs stop at 2 MiB,
// a response info with certificates is a few KiB), so a damaged length
// cannot make the reader allocate without bound.
constexpr std::uint64_t kMaxKeyLength = 4u << 20;
constexpr std::uint64_t kMaxResponseInfoSize = 16u << 20;
// The header and key lie at the start of an entry file, the response info
// and both end records at its end (unless the info is large): one read at
// each end finds them all, and the body between is never read. A file
// shorter than the first read is read whole, as cheaply as its header.
constexpr std::size_t kHeadRead = 4u << 10;
constexpr std::size_t kTailRead = 8u << 10;

constexpr std::size_t kHashDigits = 16;

int Seek(std::FILE* file, std::uint64_t offset, int origin) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), origin);
#else
  return fseeko(file, static_cast<off_t>(offset), origin);
#endif
}

std::int64_t Tell(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

// One entry file, read as a snapshot: its two ends are read when it is
// opened, other ranges when asked for, and a range that can no longer be
// read whole (the file shrank) is a failure.
class EntryFile {
 public:
  explicit EntryFile(const std::string& path) : file_(OpenRegularFile(path), &std::fclose) {
    if (!file_) {
      open_error_ = errno;
      return;
    }
    // The reads below are few and exact; stdio's buffer would only copy.
    std::setvbuf(file_.get(), nullptr, _IONBF, 0);
    head_.resize(kHeadRead);
    head_.resize(std::fread(head_.data(), 1, kHeadRead, file_.get()));
    if (std::ferror(file_.get())) return;
    if (head_.size() < kHeadRead) {
      size_ = head_.size();
      file_.reset();
      ok_ = true;
      return;
    }
    if (Seek(file_.get(), 0, SEEK_END) != 0) return;
    const std::int64_t end = Tell(file_.get());
    if (end < static_cast<std::int64_t>(kHeadRead)) return;
    size_ = static_cast<std::uint64_t>(end);
    tail_offset_ = size_ > kHeadRead + kTailRead ? size_ - kTailRead : kHeadRead;
    std::optional<std::string> tail = ReadFromDisk(tail_offset_, size_ - tail_offset_);
    if (!tail) return;
    tail_ = std::move(*tail);
    ok_ = true;
  }

  bool ok() const { return ok_; }
  int open_error() const { return open_error_; }
  std::uint64_t size() const { return size_; }

  std::optional<std::string> Read(std::uint64_t offset, std::uint64_t length) {
    if (!FitsIn(size_, offset, length)) return std::nullopt;
    if (FitsIn(head_.size(), offset, length)) return head_.substr(offset, length);
    if (offset >= tail_offset_ && FitsIn(tail_.size(), offset - tail_offset_, length)) {
      return tail_.substr(offset - tail_offset_, length);
    }
    if (!file_) return std::nullopt;
    return ReadFromDisk(offset, length);
  }

 private:
  std::optional<std::string> ReadFromDisk(std::uint64_t offset, std::uint64_t length) {
    if (Seek(file_.get(), offset, SEEK_SET) != 0) return std::nullopt;
    std::string bytes(length, '\0');
    if (length != 0 && std::fread(bytes.data(), 1, length, file_.get()) != length) {
      return std::nullopt;
    }
    return bytes;
  }

  std::unique_ptr<std::FILE, decltype(&std::fclose)> file_;
  int open_error_ = 0;
  bool ok_ = false;
  std::uint64_t size_ = 0;
  std::string head_;
  std::uint64_t tail_offset_ = 0;
  std::string tail_;
};

Bytes AsBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct EndRecord {
  std::uint32_t flags = 0;
  std::uint32_t crc32 = 0;
  std::uint32_t stream_size = 0;
};

std::optional<EndRecord> ReadEndRecord(EntryFile& file, std::uint64_t offset) {
  const std::optional<std::string> bytes = file.Read(offset, kEndRecordSize);
  if (!bytes || ReadU64(AsBytes(*bytes), 0) != kFinalMagic) return std::nullopt;
  const Bytes b = AsBytes(*bytes);
  return EndRecord{*ReadU32(b, 8), *ReadU32(b, 12), *ReadU32(b, 16)};
}

// Reads the header and the key into `entry`; false (with the entry marked)
// when they are unreadable.
bool ReadHeaderAndKey(EntryFile& file, ChromiumEntry& entry) {
  const std::optional<std::string> header = file.Read(0, kHeaderSize);
  if (!header) {
    // The browser writes the header first: a shorter file is just made.
    entry.finished = false;
    return false;
  }
  const Bytes b = AsBytes(*header);
  const std::uint32_t key_length = *ReadU32(b, 12);
  if (ReadU64(b, 0) != kInitialMagic || ReadU32(b, 8) != kEntryVersion ||
      key_length > kMaxKeyLength) {
    entry.damaged = true;
    return false;
  }
  std::optional<std::string> key = file.Read(kHeaderSize, key_length);
  if (!key || SuperFastHash(*key) != ReadU32(b, 16)) {
    entry.damaged = true;
    return false;
  }
  entry.key = std::move(*key);
  return true;
}

// The entry in the file at `path`, as far as it can be read.
ChromiumEntry ReadEntry(const std::string& path, bool sparse) {
  ChromiumEntry entry;
  entry.sparse = sparse;
  EntryFile file(path);
  if (!file.ok()) {
    // Gone since the listing (doomed and renamed by the browser) is an
    // entry in flux; anything else (a link, a folder) is no entry file.
    if (file.open_error() == ENOENT) {
      entry.finished = false;
    } else {
      entry.damaged = true;
    }
    return entry;
  }
  if (!ReadHeaderAndKey(file, entry)) return entry;

  // The last record is written last: without it the entry is still being
  // written (or its writer died).
  const std::uint64_t size = file.size();
  const std::uint64_t key_end = kHeaderSize + entry.key.size();
  const std::optional<EndRecord> last =
      size >= key_end + kEndRecordSize ? ReadEndRecord(file, size - kEndRecordSize) : std::nullopt;
  if (!last) {
    entry.finished = false;
    return entry;
  }
  const std::uint64_t sha = (last->flags & kHasKeySha256) != 0 ? kKeySha256Size : 0;
  const std::uint64_t fixed = key_end + kEndRecordSize + sha + kEndRecordSize;
  if (size < fixed || last->stream_size > size - fixed ||
      last->stream_size > kMaxResponseInfoSize) {
    entry.damaged = true;
    return entry;
  }
  const std::uint64_t body_length = size - fixed - last->stream_size;
  const std::optional<EndRecord> body_end = ReadEndRecord(file, key_end + body_length);
  if (!body_end) {
    entry.damaged = true;
    return entry;
  }

  std::optional<std::string> info =
      file.Read(key_end + body_length + kEndRecordSize, last->stream_size);
  // A response info that fails its checksum is being rewritten (a
  // revalidation) or damaged; either way it cannot be trusted.
  if (info && ((last->flags & kHasCrc32) == 0 || Crc32(*info) == last->crc32)) {
    entry.response_info = std::move(info);
  } else {
    entry.damaged = true;
  }
  if (body_length != 0) {
    StoredBody body;
    body.file = path;
    body.offset = key_end;
    body.length = body_length;
    if ((body_end->flags & kHasCrc32) != 0) body.crc32 = body_end->crc32;
    entry.body = std::move(body);
  }
  return entry;
}

// "<16 hex digits>_<kind>" as the hash and the kind, or nullopt. Works on
// the native name, so a name that has no narrow form (possible on Windows)
// is passed over rather than converted.
std::optional<std::pair<std::string, char>> EntryFileName(const std::filesystem::path& path) {
  const std::filesystem::path file_name = path.filename();
  const auto& name = file_name.native();
  if (name.size() != kHashDigits + 2 || name[kHashDigits] != '_') return std::nullopt;
  std::string hash;
  for (std::size_t i = 0; i < kHashDigits; ++i) {
    const auto c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
    hash.push_back(static_cast<char>(c));
  }
  return std::pair{hash, static_cast<char>(name.back())};
}

struct Listing {
  std::vector<std::string> entries;        // hashes with a "_0" file, sorted
  std::unordered_set<std::string> sparse;  // hashes with a "_s" file
  std::string error;                       // why the listing ended early, if it did
};

Listing ListFolder(const std::string& folder) {
  Listing listing;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    const auto name = EntryFileName(it->path());
    if (!name) continue;
    if (name->second == '0') listing.entries.push_back(name->first);
    if (name->second == 's') listing.sparse.insert(name->first);
  }
  if (ec) listing.error = ec.message();
  // The folder's order is the file system's; the hash order is the same
  // on every copy of the cache.
  std::sort(listing.entries.begin(), listing.entries.end());
  return listing;
}

}  // namespace

StoredResponses ReadSimpleCache(const std::string& folder, const ReadStopCheck& stop) {
  StoredResponses read;
  const Listing listing = ListFolder(folder);
  // What was listed before a failure is still read.
  if (!listing.error.empty()) {
    read.notes.push_back("cannot list the cache folder " + folder + ": " + listing.error);
  }
  StopPoll poll(stop);
  for (const std::string& hash : listing.entries) {
    if (poll.Due()) {
      read.notes.push_back("the read was stopped after " + std::to_string(read.entries) + " of " +
                           std::to_string(listing.entries.size()) + " entries");
      break;
    }
    AddChromiumEntry(ReadEntry(JoinPath(folder, hash + "_0"), listing.sparse.contains(hash)), read);
  }
  return read;
}

}  // namespace webhoard
