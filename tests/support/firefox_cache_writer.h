// Writes entry files of Firefox's disk cache (cache2) for the tests: the
// stored data, then the big-endian metadata block (lookup2 hash, one 16-bit
// hash per 256 KiB chunk, header, key, elements) and the trailer, one word
// in versions 1-3 and [version][offset] in version 4.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webhoard::testing {

struct Cache2EntryFixture {
  std::string key;
  std::string data;  // the body, then any alternative data
  std::vector<std::pair<std::string, std::string>> elements;
  std::uint32_t version = 4;  // 1 has a 28-byte header; 1-3 a one-word trailer
  std::uint32_t fetch_count = 1;
  std::uint32_t last_fetched = 0;
  std::uint32_t last_modified = 0;
  std::uint32_t expiration = 0xFFFFFFFFu;
  bool encrypted = false;  // version 4: sets the offset word's top bit only
};

// A GET entry of `url` (the key has a partition tag, as current Firefox
// writes) with `head` as its response head and `body` as its data.
Cache2EntryFixture Cache2Page(std::string_view url, std::string head, std::string body);

// The bytes of the entry's file.
std::string Cache2EntryBytes(const Cache2EntryFixture& entry);

// A 40-hex-digit file name made from the key (Firefox's is the key's SHA-1,
// which no reader checks).
std::string Cache2EntryName(std::string_view key);

}  // namespace webhoard::testing
