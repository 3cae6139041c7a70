#include "cache/navigator/read_cache_index.h"

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "cache/navigator/cache_entry_builder.h"
#include "cache/navigator/read_cache_index_parts.h"
#include "common/ascii.h"
#include "common/little_endian.h"
#include "platform/local_path.h"

namespace webhoard {
namespace {

constexpr std::size_t kFormatTagLength = 10;
constexpr std::uint32_t kSmallPage = 4096;
constexpr std::uint32_t kLargePage = 16384;
constexpr std::size_t kPageProbeBytes = 51;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::uint32_t LoadBE32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}

// The page size named by a valid hash-file header (always big-endian), or 0.
// Trusting the header keeps a file whose first bucket is empty from being
// read with pages four times too large; files without such a header are
// judged by their bytes alone. The header also names the byte order of the
// pages' offset tables (the records inside are little-endian always).
std::uint32_t PageSizeFromHeader(const std::uint8_t* header, bool& big_endian_tables) {
  constexpr std::uint32_t kHashMagic = 0x00061561;
  const std::uint32_t magic = LoadBE32(header);
  const std::uint32_t version = LoadBE32(header + 4);
  const std::uint32_t lorder = LoadBE32(header + 8);
  const std::uint32_t bsize = LoadBE32(header + 12);
  const std::uint32_t bshift = LoadBE32(header + 16);
  if (magic != kHashMagic || (version != 1 && version != 2)) return 0;
  if (lorder != 1234 && lorder != 4321) return 0;
  if (bshift < 8 || bshift > 14 || bsize != (1u << bshift)) return 0;
  big_endian_tables = lorder == 4321;
  return bsize;
}

// Page size: from a valid header, else 4096 when the second 4096-byte block
// begins with a non-zero byte among its first 51, else 16384 (also when the
// file is shorter than two blocks).
std::uint32_t ChoosePageSize(std::FILE* file, CacheIndexStats& stats) {
  std::array<std::uint8_t, 2 * kSmallPage> blocks{};
  const std::size_t got = std::fread(blocks.data(), 1, blocks.size(), file);
  if (got >= kSmallPage) {
    if (const std::uint32_t size = PageSizeFromHeader(blocks.data(), stats.big_endian_tables);
        size != 0) {
      stats.page_size_from_header = true;
      return size;
    }
  }
  if (got < blocks.size()) return kLargePage;
  unsigned sum = 0;
  for (std::size_t i = 0; i < kPageProbeBytes; ++i) sum += blocks[kSmallPage + i];
  return sum != 0 ? kSmallPage : kLargePage;
}

}  // namespace

CacheIndexFormat DetectCacheIndexFormat(std::string_view first_bytes) {
  const std::string tag = AsciiUpper(first_bytes.substr(0, kFormatTagLength));
  return tag == "MCOM-CACHE" || tag == "MOSAIC-COM" ? CacheIndexFormat::kText
                                                    : CacheIndexFormat::kDatabase;
}

bool ReadCacheIndex(std::string_view index_path, TCacheItemList& items, Prompter& prompter,
                    CacheIndexStats* stats_out, const ReadStopCheck& stop) {
  CacheIndexStats local_stats;
  CacheIndexStats& stats = stats_out != nullptr ? *stats_out : local_stats;
  stats = CacheIndexStats();
  const std::string path = LocalFileSystemPath(index_path);

  File file(std::fopen(path.c_str(), "rb"));
  // The first characters of the first line tell the formats apart. A path
  // that opens but cannot be read (a folder) counts as not opened.
  std::string first_line;
  if (file) {
    int c;
    while (first_line.size() < kFormatTagLength && (c = std::getc(file.get())) != EOF &&
           c != '\r' && c != '\n') {
      first_line.push_back(static_cast<char>(c));
    }
    if (std::ferror(file.get())) file.reset();
  }
  if (!file) {
    prompter.ShowMessage(kCloseNavigatorWarning, MessageKind::kWarning, kButtonOk);
    return false;
  }
  stats.format = DetectCacheIndexFormat(first_line);

  CacheEntryBuilder builder(CacheFolderOf(index_path), items, stats);
  auto rewind = [&] {
    if (std::fseek(file.get(), 0, SEEK_SET) != 0) {
      throw CacheIndexError("cannot read the cache index " + path);
    }
  };
  rewind();
  if (stats.format == CacheIndexFormat::kText) {
    ReadTextCacheIndex(file.get(), path, builder, prompter, stats, stop);
  } else {
    stats.page_size = ChoosePageSize(file.get(), stats);
    rewind();
    ReadDatabaseCacheIndex(file.get(), stats.page_size, stats.big_endian_tables, builder, prompter,
                           stats, stop);
  }
  return true;
}

}  // namespace webhoard
