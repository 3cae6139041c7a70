#include "platform/index_dat_format.h"

#include <bit>
#include <cstring>

namespace webhoard::index_dat {
namespace {

constexpr std::uint32_t kSignatureLength = 28;
constexpr std::string_view kWineSignaturePrefix = "WINE URLCache Ver ";

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto yoe = static_cast<unsigned>(year - era * 400);
  const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The NUL-terminated text at `relative` inside `record`; nullopt when the
// offset lies outside the record or no NUL ends the text inside it.
std::optional<std::string> TextAt(Bytes record, std::uint32_t relative) {
  if (relative >= record.size()) return std::nullopt;
  const auto* begin = record.data() + relative;
  const auto* end =
      static_cast<const std::uint8_t*>(std::memchr(begin, 0, record.size() - relative));
  if (end == nullptr) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
}

bool SignatureIs(Bytes file, std::string_view expected) {
  return file.size() >= kSignatureLength &&
         std::memcmp(file.data(), expected.data(), expected.size()) == 0 &&
         file[expected.size()] == 0;
}

}  // namespace

std::optional<Header> ParseHeader(Bytes file, std::string* error) {
  auto fail = [&](std::string message) -> std::optional<Header> {
    if (error != nullptr) *error = std::move(message);
    return std::nullopt;
  };
  if (file.size() < kHeaderSize) return fail("shorter than its 16384-byte header");
  if (file.size() > kMaxFileSize) return fail("larger than an index can be");
  if (!SignatureIs(file, kIeSignature) && !SignatureIs(file, kWineSignature)) {
    return fail("unknown signature at offset 0");
  }
  Header header;
  header.file_size = static_cast<std::uint32_t>(file.size());
  header.first_hash_page = LoadLE<std::uint32_t>(file.data() + kOffFirstHashPage);
  header.capacity = LoadLE<std::uint32_t>(file.data() + kOffCapacity);
  header.blocks_in_use = LoadLE<std::uint32_t>(file.data() + kOffBlocksInUse);
  const std::uint32_t folder_count = LoadLE<std::uint32_t>(file.data() + kOffFolderCount);
  if (folder_count > kMaxCacheFolders) return fail("more than 32 cache folders at offset 0x48");
  for (std::uint32_t i = 0; i < folder_count; ++i) {
    const std::uint8_t* slot = file.data() + kOffFolders + i * kFolderEntrySize;
    CacheFolder folder;
    folder.file_count = LoadLE<std::uint32_t>(slot);
    std::string name(reinterpret_cast<const char*>(slot + 4), 8);
    bool usable = true;
    for (char c : name) {
      const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      usable = usable && alnum;
    }
    if (usable) folder.name = std::move(name);
    header.folders.push_back(std::move(folder));
  }
  return header;
}

std::string CheckOpenInvariants(Bytes file) {
  if (file.size() < kMinWritableFileSize) return "the file is shorter than 32768 bytes";
  if (file.size() > kMaxFileSize) return "the file is larger than an index can be";
  if (SignatureIs(file, kWineSignature)) {
    // any other signature is accepted; Wine's own must carry its version
  } else if (std::memcmp(file.data(), kWineSignaturePrefix.data(), kWineSignaturePrefix.size()) ==
             0) {
    return "the signature names an unknown Wine version";
  }
  const auto size_field = LoadLE<std::uint32_t>(file.data() + kOffFileSize);
  if (size_field != file.size()) return "the size at offset 0x1C differs from the file's";
  const auto capacity = LoadLE<std::uint32_t>(file.data() + kOffCapacity);
  if (capacity > kMaxBlocks ||
      kHeaderSize + static_cast<std::uint64_t>(capacity) * kBlockSize != file.size()) {
    return "the capacity at offset 0x24 does not match the file size";
  }
  std::uint64_t set_bits = 0;
  const std::uint32_t used_bytes = capacity / 8;
  for (std::uint32_t i = 0; i < used_bytes; ++i) {
    set_bits += static_cast<std::uint64_t>(std::popcount(file[kBitmapOffset + i]));
  }
  if (set_bits != LoadLE<std::uint32_t>(file.data() + kOffBlocksInUse)) {
    return "the blocks in use at offset 0x28 differ from the bitmap";
  }
  for (std::uint32_t i = kBitmapOffset + used_bytes; i < kHeaderSize; ++i) {
    if (file[i] != 0) return "the bitmap marks blocks past the capacity";
  }
  return {};
}

bool BlockInUse(Bytes file, std::uint32_t block) {
  if (block >= kMaxBlocks) return false;
  return (file[kBitmapOffset + block / 8] >> (block % 8)) & 1u;
}

bool IsBlockStart(Bytes file, std::uint32_t offset) {
  return offset >= kHeaderSize && (offset - kHeaderSize) % kBlockSize == 0 &&
         FitsIn(file.size(), offset, kBlockSize);
}

std::optional<UrlRecord> ParseUrlRecord(Bytes file, std::uint32_t offset, std::string* error) {
  auto fail = [&](std::string message) -> std::optional<UrlRecord> {
    if (error != nullptr) *error = std::move(message) + " at offset " + std::to_string(offset);
    return std::nullopt;
  };
  if (!IsBlockStart(file, offset)) return fail("no block starts");
  if (std::memcmp(file.data() + offset, "URL ", 4) != 0) return fail("no URL record");
  const std::uint8_t* p = file.data() + offset;
  UrlRecord record;
  record.offset = offset;
  record.blocks = LoadLE<std::uint32_t>(p + 4);
  if (record.blocks == 0 ||
      !FitsIn(file.size(), offset, static_cast<std::uint64_t>(record.blocks) * kBlockSize)) {
    return fail("a URL record's block count reaches past the end");
  }
  const Bytes bytes = file.subspan(offset, std::size_t{record.blocks} * kBlockSize);
  record.last_modified_time = LoadLE<std::uint64_t>(p + 0x08);
  record.last_access_time = LoadLE<std::uint64_t>(p + 0x10);
  record.expire_dos = LoadLE<std::uint32_t>(p + 0x18);
  record.size = LoadLE<std::uint64_t>(p + 0x20);
  record.exempt_delta = LoadLE<std::uint32_t>(p + 0x2C);
  record.folder_index = p[0x38];
  record.cache_entry_type = LoadLE<std::uint32_t>(p + 0x40);
  record.last_sync_dos = LoadLE<std::uint32_t>(p + 0x50);
  record.hit_rate = LoadLE<std::uint32_t>(p + 0x54);
  record.use_count = LoadLE<std::uint32_t>(p + 0x58);

  const auto url_offset = LoadLE<std::uint32_t>(p + 0x34);
  auto url = url_offset >= 8 ? TextAt(bytes, url_offset) : std::nullopt;
  if (!url || url->empty()) return fail("a URL record without a sound URL text");
  record.url = std::move(*url);

  // The other texts are optional: a damaged one counts as absent.
  if (const auto name_offset = LoadLE<std::uint32_t>(p + 0x3C); name_offset != 0) {
    if (auto name = TextAt(bytes, name_offset)) record.file_name = std::move(*name);
  }
  if (const auto ext_offset = LoadLE<std::uint32_t>(p + 0x4C); ext_offset != 0) {
    if (auto ext = TextAt(bytes, ext_offset)) record.file_extension = std::move(*ext);
  }
  const auto header_offset = LoadLE<std::uint32_t>(p + 0x44);
  const auto header_size = LoadLE<std::uint32_t>(p + 0x48);
  if (header_offset != 0 && header_size != 0 && FitsIn(bytes.size(), header_offset, header_size)) {
    record.header_info.assign(reinterpret_cast<const char*>(bytes.data() + header_offset),
                              header_size);
  }
  return record;
}

std::uint64_t DosDateTimeToFileTime(std::uint32_t dos) {
  if (dos == 0) return 0;
  const unsigned date = dos & 0xFFFFu;
  const unsigned time = dos >> 16;
  const unsigned day = date & 31u;
  const unsigned month = (date >> 5) & 15u;
  const unsigned year = 1980u + (date >> 9);
  const unsigned second = (time & 31u) * 2u;
  const unsigned minute = (time >> 5) & 63u;
  const unsigned hour = time >> 11;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59) {
    return 0;
  }
  // 134774 days lie between 1601-01-01 and 1970-01-01.
  const std::int64_t days = DaysFromCivil(year, month, day) + 134774;
  const std::int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<std::uint64_t>(seconds) * 10000000u;
}

bool IsSafePathComponent(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) return false;
  }
  return true;
}

}  // namespace webhoard::index_dat
