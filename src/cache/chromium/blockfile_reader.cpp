#include "cache/chromium/blockfile_reader.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_set>

#include "cache/chromium/blockfile_address.h"
#include "cache/chromium/blockfile_files.h"
#include "cache/chromium/blockfile_index.h"
#include "cache/chromium/blockfile_records.h"
#include "cache/chromium/super_fast_hash.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

// Limits on what an entry record may ask to be read while listing. Response
// info with a certificate chain takes a few KiB; keys are addresses.
constexpr std::int32_t kMaxResponseInfoSize = 4 << 20;
constexpr std::int32_t kMaxKeyLength = 4 << 20;
constexpr std::uint32_t kBlockCountBits = 0x03000000u;

class BlockfileWalk {
 public:
  BlockfileWalk(const std::string& folder, const std::function<void(ChromiumEntry&&)>& sink,
                std::vector<std::string>& notes, const ReadStopCheck& stop)
      : folder_(folder), sink_(sink), notes_(notes), poll_(stop), files_(folder) {}

  void Run();

 private:
  // Reads the entry at `address`, hands it on, and answers the next
  // address of its chain (0 at the end).
  std::uint32_t ReadEntry(std::uint32_t address, std::uint32_t bucket);
  std::optional<std::string> ReadKey(const EntryRecord& record, std::string_view bytes);
  // Marks `entry` not finished or damaged as its rankings node says.
  void CheckRankings(const EntryRecord& record, std::uint32_t address, ChromiumEntry& entry);
  void ReadStreams(const EntryRecord& record, ChromiumEntry& entry);
  void AddWalkNotes(bool stopped);

  const std::string& folder_;
  const std::function<void(ChromiumEntry&&)>& sink_;
  std::vector<std::string>& notes_;
  StopPoll poll_;
  BlockfileFiles files_;
  BlockfileIndex index_;
  // The records met, by place: the same first block under another block
  // count is the same record.
  std::unordered_set<std::uint32_t> visited_;
  std::uint64_t found_ = 0;
  std::uint64_t bad_links_ = 0;  // chains ending in an address that names no record
  std::uint64_t loops_ = 0;      // chains leading back to an entry met before
};

void BlockfileWalk::Run() {
  std::optional<BlockfileIndex> index = ReadBlockfileIndex(JoinPath(folder_, "index"), notes_);
  if (!index) return;
  index_ = std::move(*index);
  visited_.reserve(std::min<std::size_t>(index_.entry_count, 1u << 20));
  bool stopped = false;
  for (std::uint32_t bucket = 0; bucket < index_.table.size() && !stopped; ++bucket) {
    for (std::uint32_t address = index_.table[bucket]; address != 0;) {
      if (poll_.Due()) {
        stopped = true;
        break;
      }
      if (!visited_.insert(address & ~kBlockCountBits).second) {
        ++loops_;
        break;
      }
      address = ReadEntry(address, bucket);
    }
  }
  AddWalkNotes(stopped);
}

std::uint32_t BlockfileWalk::ReadEntry(std::uint32_t address_value, std::uint32_t bucket) {
  const BlockAddress address(address_value);
  if (!address.IsUsable() || address.type() != BlockType::kBlock256) {
    ++bad_links_;
    return 0;
  }
  const ReadBytes bytes = files_.Read(address, address.RunLength());
  // A missing data_1 is told once by the files' own note.
  if (bytes.status == PlaceStatus::kDamaged) ++bad_links_;
  if (bytes.status != PlaceStatus::kFound) return 0;
  ++found_;
  const bool zero_hash_ok = index_.version < 0x20001;
  const std::optional<EntryRecord> record = ParseEntryRecord(bytes.bytes, zero_hash_ok);
  ChromiumEntry entry;
  if (!record || !record->self_hash_ok) {
    // Nothing in the record can be trusted, its link onwards included.
    entry.damaged = true;
    sink_(std::move(entry));
    return 0;
  }
  // Evicted and doomed entries are no longer the cache's; their chain goes on.
  if (record->state != 0) return record->next;
  const std::optional<std::string> key = ReadKey(*record, bytes.bytes);
  const std::uint32_t mask = index_.table_length - 1;
  const bool in_its_bucket = (index_.table_length & mask) != 0 || (record->hash & mask) == bucket;
  if (!key || SuperFastHash(*key) != record->hash || !in_its_bucket) {
    entry.key = key.value_or("");
    entry.damaged = true;
    sink_(std::move(entry));
    return record->next;
  }
  entry.key = *key;
  entry.sparse = (record->flags & 3u) != 0;
  CheckRankings(*record, address_value, entry);
  if (!entry.damaged) ReadStreams(*record, entry);
  sink_(std::move(entry));
  return record->next;
}

std::optional<std::string> BlockfileWalk::ReadKey(const EntryRecord& record,
                                                  std::string_view bytes) {
  if (record.key_length <= 0 || record.key_length > kMaxKeyLength) return std::nullopt;
  const auto length = static_cast<std::size_t>(record.key_length);
  if (record.long_key == 0) {
    // Inline keys run on into the record's further blocks.
    if (length > bytes.size() - kEntryKeyOffset) return std::nullopt;
    return std::string(bytes.substr(kEntryKeyOffset, length));
  }
  ReadBytes key = files_.Read(BlockAddress(record.long_key), length);
  if (key.status != PlaceStatus::kFound) return std::nullopt;
  return std::move(key.bytes);
}

void BlockfileWalk::CheckRankings(const EntryRecord& record, std::uint32_t address,
                                  ChromiumEntry& entry) {
  const BlockAddress rankings(record.rankings);
  if (!rankings.IsUsable() || rankings.type() != BlockType::kRankings) {
    entry.damaged = true;
    return;
  }
  const ReadBytes bytes = files_.Read(rankings, kRankingsNodeSize);
  const std::optional<RankingsNode> node =
      bytes.status == PlaceStatus::kFound ? ParseRankingsNode(bytes.bytes, index_.version < 0x20001)
                                          : std::nullopt;
  // Without its node nobody can tell whether the entry was still being
  // written, so it is not trusted.
  if (!node || !node->self_hash_ok || node->entry != address) {
    entry.damaged = true;
    return;
  }
  entry.finished = node->dirty == 0;
}

void BlockfileWalk::ReadStreams(const EntryRecord& record, ChromiumEntry& entry) {
  const std::int32_t info_size = record.stream_sizes[0];
  if (info_size < 0 || info_size > kMaxResponseInfoSize) {
    entry.damaged = true;
  } else if (info_size > 0) {
    ReadBytes info = files_.Read(BlockAddress(record.stream_addresses[0]),
                                 static_cast<std::uint64_t>(info_size));
    if (info.status == PlaceStatus::kFound) entry.response_info = std::move(info.bytes);
    if (info.status == PlaceStatus::kDamaged) entry.damaged = true;
  }
  const std::int32_t body_size = record.stream_sizes[1];
  if (body_size < 0) {
    entry.damaged = true;
  } else if (body_size > 0) {
    const BytePlace place = files_.Find(BlockAddress(record.stream_addresses[1]),
                                        static_cast<std::uint64_t>(body_size));
    if (place.status == PlaceStatus::kFound) {
      entry.body = StoredBody{place.path, place.offset, static_cast<std::uint64_t>(body_size), "",
                              std::nullopt};
    }
    if (place.status == PlaceStatus::kDamaged) entry.damaged = true;
  }
}

void BlockfileWalk::AddWalkNotes(bool stopped) {
  files_.AddNotes(notes_);
  if (bad_links_ > 0) {
    notes_.push_back("The cache's index is damaged: " + std::to_string(bad_links_) +
                     " chains of entries end in an address that names no entry.");
  }
  if (loops_ > 0) {
    notes_.push_back("The cache's index is damaged: " + std::to_string(loops_) +
                     " chains of entries lead back to an entry met before; they were cut there.");
  }
  if (!stopped && found_ != index_.entry_count) {
    notes_.push_back("The cache's index counts " + std::to_string(index_.entry_count) +
                     " entries; its table leads to " + std::to_string(found_) + ".");
  }
}

}  // namespace

void ReadBlockfileCache(const std::string& folder, const std::function<void(ChromiumEntry&&)>& sink,
                        std::vector<std::string>& notes, const ReadStopCheck& stop) {
  BlockfileWalk(folder, sink, notes, stop).Run();
}

}  // namespace webhoard
