#include "support/firefox_cache_writer.h"

#include <cstdio>

#include "cache/firefox/lookup2.h"
#include "common/big_endian.h"

namespace webhoard::testing {
namespace {

constexpr std::size_t kChunkSize = 256 * 1024;

}  // namespace

Cache2EntryFixture Cache2Page(std::string_view url, std::string head, std::string body) {
  Cache2EntryFixture entry;
  entry.key = "O^partitionKey=%28https%2Cexample.org%29,:" + std::string(url);
  entry.data = std::move(body);
  entry.elements = {{"request-method", "GET"}, {"response-head", std::move(head)}};
  entry.last_fetched = 1700000100;
  entry.last_modified = 1700000000;
  return entry;
}

std::string Cache2EntryBytes(const Cache2EntryFixture& entry) {
  std::string hashed;  // what the metadata hash covers
  for (std::size_t at = 0; at < entry.data.size(); at += kChunkSize) {
    const std::string_view chunk = std::string_view(entry.data).substr(at, kChunkSize);
    AppendBE(hashed, static_cast<std::uint16_t>(Lookup2Hash(chunk) & 0xFFFF));
  }
  for (const std::uint32_t word :
       {entry.version, entry.fetch_count, entry.last_fetched, entry.last_modified,
        std::uint32_t{12345}, entry.expiration, static_cast<std::uint32_t>(entry.key.size())}) {
    AppendBE(hashed, word);
  }
  if (entry.version >= 2) AppendBE(hashed, std::uint32_t{0});  // flags
  hashed += entry.key;
  hashed.push_back('\0');
  for (const auto& [name, value] : entry.elements) {
    hashed += name;
    hashed.push_back('\0');
    hashed += value;
    hashed.push_back('\0');
  }

  std::string file = entry.data;
  AppendBE(file, Lookup2Hash(hashed));
  file += hashed;
  if (entry.version >= 4) AppendBE(file, entry.version);
  AppendBE(file,
           static_cast<std::uint32_t>(entry.data.size()) | (entry.encrypted ? 0x80000000u : 0u));
  return file;
}

std::string Cache2EntryName(std::string_view key) {
  char name[41];
  std::snprintf(name, sizeof name, "%032X%08X", 0u, Lookup2Hash(key));
  return name;
}

}  // namespace webhoard::testing
