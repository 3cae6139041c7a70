// Navigator cache indexes are untrusted bytes. The first input byte picks
// the reader (a 4096- or 16384-byte database page, little- or big-endian
// tables, or a text index); the rest is its input. Pages are handed over in
// buffers of exactly their size, so any read past a page is caught by the
// sanitizers. The cache folder does not exist, so no entry may become an
// item and nothing is written anywhere.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cache/navigator/cache_entry_builder.h"
#include "cache/navigator/read_cache_index.h"
#include "cache/navigator/read_cache_index_parts.h"
#include "common/prompter.h"

namespace {

constexpr const char* kMissingFolder = "/nonexistent-webhoard-fuzz-cache/";

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "navigator_index_fuzz: %s\n", what);
    std::abort();
  }
}

// The bytes as a file to read: in memory where the C library can do that,
// else a temporary file that goes away when closed.
std::FILE* OpenBytes(const std::uint8_t* data, std::size_t size) {
#ifdef _WIN32
  std::FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  if (std::fwrite(data, 1, size, file) != size) {
    std::fclose(file);
    return nullptr;
  }
  std::rewind(file);
  return file;
#else
  return fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0] % 4;
  ++data;
  --size;
  webhoard::TCacheItemList items;
  webhoard::CacheIndexStats stats;
  webhoard::SilentPrompter prompter;
  webhoard::CacheEntryBuilder builder(kMissingFolder, items, stats);
  if (mode < 3) {
    const std::uint32_t page_size = mode == 1 ? 16384 : 4096;
    std::vector<std::uint8_t> page(page_size, 0);
    const std::size_t used = size < page_size ? size : page_size;
    if (used != 0) std::memcpy(page.data(), data, used);
    webhoard::ParseDatabasePage(page.data(), page_size, static_cast<std::uint32_t>(used), mode == 2,
                                builder, prompter, stats);
    Check(stats.entries <= 250 + 0u, "more than 250 records on one page");
  } else {
    if (size == 0) return 0;
    std::FILE* file = OpenBytes(data, size);
    if (file == nullptr) return 0;
    webhoard::ReadTextCacheIndex(file, "fuzz", builder, prompter, stats);
    std::fclose(file);
  }
  Check(items.empty() && stats.items_added == 0, "an item without a cached file");
  return 0;
}
