// Damaged indexes: truncated at every length, bytes changed, lengths and
// offsets absurd. The reader must end, stay inside its buffers (checked by
// the sanitizer build) and only ever yield entries that were really there.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cache/mime_types.h"
#include "cache/navigator/cache_entry_builder.h"
#include "cache/navigator/read_cache_index.h"
#include "cache/navigator/read_cache_index_parts.h"
#include "common/clock.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "support/navigator_index_writer.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::NavigatorRecord;
using testing::RawPage;
using testing::ScriptedPrompter;
using testing::TempDir;

constexpr std::int32_t kRecent = 1764000000;

class DamagedIndex : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadMimeTypes(program_.path());
    for (int n = 0; n < 3; ++n) {
      NavigatorRecord record;
      record.url = "http://site" + std::to_string(n) + ".com/page" + std::to_string(n);
      record.file_name = "M" + std::to_string(n) + ".MOZ";
      record.mime_type = "text/html";
      record.last_accessed = kRecent;
      records_.push_back(record);
      cache_.Write(record.file_name, "x");
      known_.insert("http://site" + std::to_string(n) + ".com:80/page" + std::to_string(n));
    }
  }

  std::string SmallPage(std::uint32_t page_size) const {
    return RawPage(page_size)
        .AddRecord(records_[0])
        .AddRecord(records_[1])
        .Add(std::string(testing::kDiskCacheSizeKey), testing::LittleEndian32(100))
        .AddRecord(records_[2])
        .Add(std::string(testing::kDiskCacheNumberKey), testing::LittleEndian32(3))
        .Build();
  }

  // Changed bytes may well change an address, but every item keeps the
  // promises of the list: a canonical address and an existing file inside
  // the cache folder.
  void ExpectSoundItems() {
    for (const auto& item : items_) {
      EXPECT_EQ(item->URL.rfind("http://", 0), 0u) << item->URL;
      EXPECT_NE(item->Domain, "NONE");
      EXPECT_EQ(item->LocalFile.rfind(cache_.path() + "/", 0), 0u) << item->LocalFile;
      EXPECT_TRUE(FileExists(item->LocalFile)) << item->LocalFile;
    }
  }
  // Cutting a file only loses entries: what is left is real.
  void ExpectOnlyKnownItems() {
    for (const auto& item : items_) EXPECT_TRUE(known_.contains(item->URL)) << item->URL;
  }

  // Parses one page held in a buffer of exactly its size.
  void ParsePage(const std::string& bytes) {
    const std::vector<std::uint8_t> page(bytes.begin(), bytes.end());
    CacheEntryBuilder builder(cache_.path() + "/", items_, stats_);
    const auto size = static_cast<std::uint32_t>(page.size());
    ParseDatabasePage(page.data(), size, size, false, builder, prompter_, stats_);
    ExpectSoundItems();
    items_.clear();
  }

  bool ReadFile(const std::string& contents) {
    items_.clear();
    // A fresh name each time: rewriting one file in place makes some file
    // systems flush it to disk at every close, which is slow.
    const std::string path = cache_.Write("FAT" + std::to_string(++files_) + ".DB", contents);
    const bool opened = ReadCacheIndex(path, items_, prompter_, &stats_);
    std::remove(path.c_str());
    ExpectSoundItems();
    return opened;
  }

  TempDir program_;
  TempDir cache_;
  ScopedFixedClock clock_{46000.5};
  ScriptedPrompter prompter_;
  std::vector<NavigatorRecord> records_;
  std::set<std::string> known_;
  TCacheItemList items_;
  CacheIndexStats stats_;
  int files_ = 0;
};

TEST_F(DamagedIndex, DatabaseTruncatedAtEveryLength) {
  const std::string file = testing::DatabaseFile(4096, {SmallPage(4096)});
  ASSERT_TRUE(ReadFile(file));
  ASSERT_EQ(items_.size(), 3u);
  for (std::size_t length = 0; length < file.size(); ++length) {
    SCOPED_TRACE(length);
    ASSERT_TRUE(ReadFile(file.substr(0, length)));
    // A record counts only when the cut left all of it.
    ExpectOnlyKnownItems();
    EXPECT_LE(items_.size(), 3u);
    if (length < 4096 + 3000) {
      EXPECT_TRUE(items_.empty());
    }
  }
}

TEST_F(DamagedIndex, DatabasePageWithChangedBytes) {
  for (const std::uint32_t page_size : {4096u, 16384u}) {
    const std::string page = SmallPage(page_size);
    // Every byte of the table and of the records, set to telling values.
    const std::size_t data_start =
        LoadLE<std::uint16_t>(reinterpret_cast<const std::uint8_t*>(page.data()) + 2 * (6 + 2));
    for (std::size_t at = 0; at < page.size(); ++at) {
      if (at >= 32 && at < data_start) continue;  // free space
      for (const unsigned value : {0x00u, 0xFFu, 0x7Fu, 0x01u, 0x80u}) {
        std::string damaged = page;
        damaged[at] = static_cast<char>(value);
        ParsePage(damaged);
      }
    }
    // And random changes of several bytes at once, anywhere.
    std::mt19937 random(page_size);
    for (int round = 0; round < 3000; ++round) {
      std::string damaged = page;
      for (int i = 0; i < 8; ++i) {
        damaged[random() % damaged.size()] = static_cast<char>(random());
      }
      ParsePage(damaged);
    }
  }
}

TEST_F(DamagedIndex, AbsurdCountsOffsetsAndLengths) {
  const std::uint32_t page_size = 4096;
  const std::string page = SmallPage(page_size);
  auto with = [&](std::size_t at, std::uint32_t value, int width) {
    std::string damaged = page;
    for (int i = 0; i < width; ++i) damaged[at + i] = static_cast<char>(value >> (8 * i));
    return damaged;
  };
  const std::uint32_t values[] = {0, 1, 2, page_size - 1, page_size, 0x7FFF, 0xFFFF, 0xFFFFFFFF};
  for (const std::uint32_t value : values) {
    SCOPED_TRACE(value);
    for (std::size_t word = 0; word < 12; ++word) ParsePage(with(2 * word, value, 2));
    // The length fields of the lowest record: L, FL, X, ML and the key's UL, PL.
    const std::size_t r =
        LoadLE<std::uint16_t>(reinterpret_cast<const std::uint8_t*>(page.data()) + 2 * 8) + 4 + 19;
    for (const std::size_t field : {r, r + 29, r + 29 + 4 + 8 + 29, r + 29 + 4 + 8 + 33}) {
      ParsePage(with(field, value, 4));
    }
  }
  // Whole pages of one repeated byte or word.
  for (const unsigned fill : {0x00u, 0xFFu, 0x10u, 0x02u})
    ParsePage(std::string(page_size, static_cast<char>(fill)));
  std::string descending(page_size, '\0');
  for (std::size_t i = 0; i + 1 < page_size; i += 2) {
    const auto value = static_cast<std::uint16_t>(page_size - i);
    descending[i] = static_cast<char>(value & 0xFF);
    descending[i + 1] = static_cast<char>(value >> 8);
  }
  ParsePage(descending);
}

TEST_F(DamagedIndex, TextIndexTruncatedAndChanged) {
  std::vector<std::string> lines;
  for (const auto& record : records_) {
    lines.push_back(testing::TextIndexLine(kRecent, "C:\\CACHE\\" + record.file_name, record.url,
                                           record.mime_type));
  }
  const std::string text = testing::TextIndex(lines, "MCOM-CACHE-file-allocation", "\r\n");
  ASSERT_TRUE(ReadFile(text));
  ASSERT_EQ(items_.size(), 3u);
  for (std::size_t length = 0; length <= text.size(); ++length) {
    ASSERT_TRUE(ReadFile(text.substr(0, length)));
    EXPECT_LE(items_.size(), 3u);
  }
  std::mt19937 random(7);
  const char telling[] = {'\0', '\r', '\n', '\t', ' ', '\x7F', '\xFF', '/', '.'};
  for (int round = 0; round < 400; ++round) {
    std::string damaged = text;
    const std::size_t at = 10 + random() % (damaged.size() - 10);  // keep the header
    damaged[at] = telling[random() % sizeof telling];
    ASSERT_TRUE(ReadFile(damaged));
  }
  ASSERT_TRUE(
      ReadFile("MCOM-CACHE\n" + std::string(100000, '\t') + "\n" + std::string(100000, 'x')));
}

}  // namespace
}  // namespace webhoard
