// The URL cache database index.dat (format 5.2, as Internet Explorer 5 to 9
// and Wine's WinINet write it): its header, allocation bitmap and URL
// records. Everything here works on the file's bytes in memory and checks
// every offset, count and length against them before use.
//
// Layout (little-endian; a block is 128 bytes, block n at 0x4000 + n*0x80):
//   0x0000  28    signature, NUL-terminated: "Client UrlCache MMF Ver 5.2"
//                 (Internet Explorer) or "WINE URLCache Ver 0.2012001" (Wine)
//   0x001C  4     file size in bytes
//   0x0020  4     file offset of the first hash page (0 = none)
//   0x0024  4     capacity: number of blocks after the header
//   0x0028  4     blocks in use (= set bits of the bitmap)
//   0x0030  8     cache size limit
//   0x0038  8     cache usage (sizes of the cached files not sticky)
//   0x0040  8     exempt usage (sizes of the sticky ones)
//   0x0048  4     number of cache folders (at most 32)
//   0x004C  32*12 cache folders: dword file count + 8-character name
//   0x01CC  32*4  header data dwords (index 0x16 = head of the leak list)
//   0x0250  ...   allocation bitmap up to 0x4000, bit b (LSB first) = block b
// Records start with a 4-byte signature ("HASH", "URL ", "REDR", "LEAK")
// and a dword block count, and fill that many consecutive blocks.
//
// URL record (offsets from its start):
//   0x08 8 last modified (FILETIME)     0x10 8 last access (FILETIME)
//   0x18 4 expiry (DOS date, DOS time)  0x20 8 cached file size
//   0x2C 4 exempt delta                 0x34 4 offset of the URL text
//   0x38 1 cache folder index (0xFE: none)
//   0x3C 4 offset of the file name (0 = none)
//   0x40 4 cache entry type             0x44 4 offset of the header bytes
//   0x48 4 header byte count            0x4C 4 offset of the extension
//   0x50 4 last sync (DOS date, time)   0x54 4 hit rate   0x58 4 use count
// Text offsets count from the record's start; the texts are NUL-terminated.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/little_endian.h"

namespace webhoard::index_dat {

inline constexpr std::uint32_t kHeaderSize = 0x4000;
inline constexpr std::uint32_t kBlockSize = 0x80;
inline constexpr std::uint32_t kBitmapOffset = 0x250;
inline constexpr std::uint32_t kMaxBlocks = (kHeaderSize - kBitmapOffset) * 8;
inline constexpr std::uint32_t kMaxFileSize = kHeaderSize + kMaxBlocks * kBlockSize;
inline constexpr std::uint32_t kMinWritableFileSize = 0x8000;
inline constexpr std::uint32_t kMaxCacheFolders = 32;
inline constexpr std::uint32_t kNoCacheFolder = 0xFE;

inline constexpr std::uint32_t kOffFileSize = 0x1C;
inline constexpr std::uint32_t kOffFirstHashPage = 0x20;
inline constexpr std::uint32_t kOffCapacity = 0x24;
inline constexpr std::uint32_t kOffBlocksInUse = 0x28;
inline constexpr std::uint32_t kOffUsage = 0x38;
inline constexpr std::uint32_t kOffExemptUsage = 0x40;
inline constexpr std::uint32_t kOffFolderCount = 0x48;
inline constexpr std::uint32_t kOffFolders = 0x4C;
inline constexpr std::uint32_t kFolderEntrySize = 12;

inline constexpr std::string_view kIeSignature = "Client UrlCache MMF Ver 5.2";
inline constexpr std::string_view kWineSignature = "WINE URLCache Ver 0.2012001";

struct CacheFolder {
  std::uint32_t file_count = 0;
  std::string name;  // 8 characters; empty when the slot holds no usable name
};

struct Header {
  std::uint32_t file_size = 0;  // the real size of the bytes read
  std::uint32_t first_hash_page = 0;
  std::uint32_t capacity = 0;
  std::uint32_t blocks_in_use = 0;
  std::vector<CacheFolder> folders;  // the slots in use, at most 32
};

// Reads and checks the header. Answers nullopt and a message when the bytes
// are not an index.dat this layer understands.
std::optional<Header> ParseHeader(Bytes file, std::string* error);

// The checks WinINet makes when it opens the file. A file that fails them
// makes Wine discard the whole container, so nothing that fails them is
// ever written back. Answers an empty text when all hold, else what failed.
std::string CheckOpenInvariants(Bytes file);

// Whether block `block` is marked in use in the allocation bitmap.
bool BlockInUse(Bytes file, std::uint32_t block);

// A URL record, every offset and length checked.
struct UrlRecord {
  std::uint32_t offset = 0;  // file offset of the record
  std::uint32_t blocks = 0;
  std::string url;
  std::string file_name;  // name inside the cache folder; empty when none
  std::uint32_t folder_index = kNoCacheFolder;
  std::uint32_t cache_entry_type = 0;
  std::uint32_t use_count = 0;
  std::uint32_t hit_rate = 0;
  std::uint64_t size = 0;
  std::uint64_t last_modified_time = 0;  // FILETIME
  std::uint64_t last_access_time = 0;    // FILETIME
  std::uint32_t expire_dos = 0;          // DOS date in the low word, time in the high
  std::uint32_t last_sync_dos = 0;
  std::uint32_t exempt_delta = 0;
  std::string header_info;
  std::string file_extension;
};

// Reads the URL record at `offset`. Answers nullopt and a message when no
// sound URL record lies there.
std::optional<UrlRecord> ParseUrlRecord(Bytes file, std::uint32_t offset, std::string* error);

// Whether `offset` is the start of a block that lies inside the file.
bool IsBlockStart(Bytes file, std::uint32_t offset);

// A stored DOS date-time dword (date in the low word) as a FILETIME, read as
// UTC the way WinINet does; 0 for 0 and for impossible fields.
std::uint64_t DosDateTimeToFileTime(std::uint32_t dos);

// Whether a cache folder name or file name from the index may be joined to
// a path: no separators, no "." or "..", no control characters.
bool IsSafePathComponent(std::string_view name);

}  // namespace webhoard::index_dat
