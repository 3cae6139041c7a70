#include "support/index_dat_writer.h"

#include <cstring>

#include "common/little_endian.h"

namespace webhoard::testing {
namespace {

constexpr std::uint32_t kHeader = 0x4000;
constexpr std::uint32_t kBlock = 0x80;

std::uint32_t Align4(std::size_t n) {
  return static_cast<std::uint32_t>((n + 3) & ~std::size_t{3});
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(b.data() + at), v);
}
void Put64(std::string& b, std::size_t at, std::uint64_t v) {
  StoreLE<std::uint64_t>(reinterpret_cast<std::uint8_t*>(b.data() + at), v);
}

std::string Record(const SyntheticEntry& e) {
  std::uint32_t at = 0x68;
  const std::uint32_t url_at = at;
  at += Align4(e.url.size() + 1);
  const std::uint32_t name_at = e.file_name.empty() ? 0 : at;
  if (name_at != 0) at += Align4(e.file_name.size() + 1);
  const std::uint32_t headers_at = e.headers.empty() ? 0 : at;
  at += Align4(e.headers.size());
  const std::uint32_t blocks = (at + kBlock - 1) / kBlock + e.extra_blocks;
  std::string r(std::size_t{blocks} * kBlock, '\0');
  for (std::size_t i = 0; i + 4 <= r.size(); i += 4) Put32(r, i, 0xDEADBEEF);
  std::memcpy(r.data(), "URL ", 4);
  Put32(r, 0x04, blocks);
  Put64(r, 0x08, e.last_modified);
  Put64(r, 0x10, e.last_access);
  Put32(r, 0x18, 0);
  Put32(r, 0x1C, 0);
  Put64(r, 0x20, e.size);
  Put32(r, 0x28, 0);
  Put32(r, 0x2C, 0);
  Put32(r, 0x30, 0x60);
  Put32(r, 0x34, url_at);
  r[0x38] = static_cast<char>(e.folder_index);
  r[0x39] = 0;
  r[0x3A] = 0x10;
  r[0x3B] = 0x10;
  Put32(r, 0x3C, name_at);
  Put32(r, 0x40, e.entry_type);
  Put32(r, 0x44, headers_at);
  Put32(r, 0x48, static_cast<std::uint32_t>(e.headers.size()));
  Put32(r, 0x4C, 0);
  Put32(r, 0x50, e.last_sync_dos);
  Put32(r, 0x54, 1);
  Put32(r, 0x58, 0);
  Put32(r, 0x5C, e.last_sync_dos);
  Put32(r, 0x60, 0);
  Put32(r, 0x64, 0);
  std::memcpy(r.data() + url_at, e.url.c_str(), e.url.size() + 1);
  if (name_at != 0) std::memcpy(r.data() + name_at, e.file_name.c_str(), e.file_name.size() + 1);
  if (headers_at != 0) std::memcpy(r.data() + headers_at, e.headers.data(), e.headers.size());
  return r;
}

}  // namespace

SyntheticIndex BuildIndexDat(const std::vector<SyntheticEntry>& entries, bool wine_signature) {
  std::vector<std::string> records;
  std::uint32_t blocks_needed = 32;  // the hash page
  for (const auto& e : entries) {
    records.push_back(Record(e));
    blocks_needed += static_cast<std::uint32_t>(records.back().size() / kBlock);
  }
  std::uint32_t capacity = 0x80;
  while (capacity < blocks_needed) capacity *= 2;
  SyntheticIndex index;
  std::string& b = index.bytes;
  b.assign(kHeader + std::size_t{capacity} * kBlock, '\0');
  const char* signature =
      wine_signature ? "WINE URLCache Ver 0.2012001" : "Client UrlCache MMF Ver 5.2";
  std::memcpy(b.data(), signature, std::strlen(signature) + 1);
  Put32(b, 0x1C, static_cast<std::uint32_t>(b.size()));
  Put32(b, 0x20, kHeader);
  Put32(b, 0x24, capacity);
  Put32(b, 0x28, blocks_needed);
  Put64(b, 0x30, 0x07FF5400);
  std::uint64_t usage = 0, exempt = 0;
  std::uint32_t counts[4] = {0, 0, 0, 0};
  for (const auto& e : entries) {
    ((e.entry_type & 4) ? exempt : usage) += e.size;
    if (e.folder_index < 4) ++counts[e.folder_index];
  }
  Put64(b, 0x38, usage);
  Put64(b, 0x40, exempt);
  Put32(b, 0x48, 4);
  for (std::uint32_t i = 0; i < 4; ++i) {
    Put32(b, 0x4C + i * 12, counts[i]);
    std::memcpy(b.data() + 0x4C + i * 12 + 4, kSyntheticFolders[i], 8);
  }
  for (std::uint32_t block = 0; block < blocks_needed; ++block) {
    b[0x250 + block / 8] = static_cast<char>(b[0x250 + block / 8] | (1 << (block % 8)));
  }
  // The hash page: every item never used, then one item per entry.
  std::memcpy(b.data() + kHeader, "HASH", 4);
  Put32(b, kHeader + 4, 32);
  Put32(b, kHeader + 8, 0);
  Put32(b, kHeader + 12, 0);
  for (std::uint32_t i = 0; i < 448; ++i) {
    Put32(b, kHeader + 0x10 + i * 8, 3);
    Put32(b, kHeader + 0x14 + i * 8, 3);
  }
  std::uint32_t at = kHeader + 32 * kBlock;
  for (std::size_t i = 0; i < records.size(); ++i) {
    std::memcpy(b.data() + at, records[i].data(), records[i].size());
    // Spread the items over the buckets, as a hash would (never slot 0 of
    // bucket 0 only), keeping bit 0 of the key clear.
    const auto item = static_cast<std::uint32_t>(kHeader + 0x10 + ((i * 7 + i / 64) % 448) * 8);
    Put32(b, item, static_cast<std::uint32_t>((i + 1) << 6));
    Put32(b, item + 4, at);
    index.record_offsets.push_back(at);
    index.item_offsets.push_back(item);
    at += static_cast<std::uint32_t>(records[i].size());
  }
  return index;
}

}  // namespace webhoard::testing
