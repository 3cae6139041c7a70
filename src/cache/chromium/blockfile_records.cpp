#include "cache/chromium/blockfile_records.h"

#include "cache/chromium/super_fast_hash.h"
#include "common/little_endian.h"

namespace webhoard {
namespace {

constexpr std::size_t kEntryHashedBytes = 92;
constexpr std::size_t kRankingsHashedBytes = 32;

std::uint32_t U32(std::string_view bytes, std::size_t offset) {
  return LoadLE<std::uint32_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()) + offset);
}

bool SelfHashOk(std::string_view bytes, std::size_t hashed, bool zero_hash_ok) {
  const std::uint32_t stored = U32(bytes, hashed);
  return (zero_hash_ok && stored == 0) || stored == SuperFastHash(bytes.substr(0, hashed));
}

}  // namespace

std::optional<EntryRecord> ParseEntryRecord(std::string_view bytes, bool zero_hash_ok) {
  if (bytes.size() < kEntryRecordSize) return std::nullopt;
  EntryRecord record;
  record.hash = U32(bytes, 0);
  record.next = U32(bytes, 4);
  record.rankings = U32(bytes, 8);
  record.state = U32(bytes, 20);
  record.creation_time =
      LoadLE<std::int64_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()) + 24);
  record.key_length = static_cast<std::int32_t>(U32(bytes, 32));
  record.long_key = U32(bytes, 36);
  for (std::size_t i = 0; i < 4; ++i) {
    record.stream_sizes[i] = static_cast<std::int32_t>(U32(bytes, 40 + 4 * i));
    record.stream_addresses[i] = U32(bytes, 56 + 4 * i);
  }
  record.flags = U32(bytes, 72);
  record.self_hash_ok = SelfHashOk(bytes, kEntryHashedBytes, zero_hash_ok);
  return record;
}

std::optional<RankingsNode> ParseRankingsNode(std::string_view bytes, bool zero_hash_ok) {
  if (bytes.size() < kRankingsNodeSize) return std::nullopt;
  RankingsNode node;
  node.entry = U32(bytes, 24);
  node.dirty = U32(bytes, 28);
  node.self_hash_ok = SelfHashOk(bytes, kRankingsHashedBytes, zero_hash_ok);
  return node;
}

}  // namespace webhoard
