// The two records a blockfile cache keeps per entry: the entry record
// (EntryStore: key, stream sizes and places, the next entry of its hash
// bucket) in 1 to 4 blocks of 256 bytes, and its rankings node (36 bytes:
// when it was used, whether the browser had it open). Each carries a hash
// of its own first bytes; a record whose hash fails is not to be trusted in
// any field, its link to the next entry included.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace webhoard {

inline constexpr std::size_t kEntryRecordSize = 256;
inline constexpr std::size_t kEntryKeyOffset = 96;  // where an inline key starts
inline constexpr std::size_t kRankingsNodeSize = 36;

struct EntryRecord {
  std::uint32_t hash = 0;  // of the key
  std::uint32_t next = 0;  // the next entry of the same bucket
  std::uint32_t rankings = 0;
  std::uint32_t state = 0;  // 0 normal, 1 evicted, 2 doomed
  std::int64_t creation_time = 0;
  std::int32_t key_length = 0;
  std::uint32_t long_key = 0;  // the key's place when it is not inline
  std::array<std::int32_t, 4> stream_sizes{};
  std::array<std::uint32_t, 4> stream_addresses{};
  std::uint32_t flags = 0;  // 1 sparse parent, 2 sparse child
  bool self_hash_ok = false;
};

struct RankingsNode {
  std::uint32_t entry = 0;  // the entry record it belongs to
  std::uint32_t dirty = 0;  // non-zero: the browser had the entry open
  bool self_hash_ok = false;
};

// `zero_hash_ok`: a stored self hash of 0 passes (the oldest caches kept none).

// The record in `bytes` (at least kEntryRecordSize of them); nullopt when
// they are fewer.
std::optional<EntryRecord> ParseEntryRecord(std::string_view bytes, bool zero_hash_ok);
std::optional<RankingsNode> ParseRankingsNode(std::string_view bytes, bool zero_hash_ok);

}  // namespace webhoard
