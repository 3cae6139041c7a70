// The database index against genuine DB 1.85 hash files written through the
// real library, and against hand-made pages for what the library never
// writes.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cache/mime_types.h"
#include "cache/navigator/cache_entry_builder.h"
#include "cache/navigator/read_cache_index.h"
#include "common/clock.h"
#include "common/file_util.h"
#include "support/db185_writer.h"
#include "support/navigator_index_writer.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::Db185HashFile;
using testing::NavigatorDatabaseWriter;
using testing::NavigatorRecord;
using testing::RawPage;
using testing::ScriptedPrompter;
using testing::TempDir;

constexpr double kNow = 46000.5;
constexpr std::int32_t kRecent = 1764000000;

NavigatorRecord Record(int n, std::string_view suffix = "") {
  char name[64];
  std::snprintf(name, sizeof name, "%02X/cache31E8%07X%s.gif", n % 16, n,
                std::string(suffix).c_str());
  NavigatorRecord record;
  record.url =
      "http://host" + std::to_string(n % 37) + ".example.com/images/" + std::to_string(n) + ".gif";
  record.file_name = name;
  record.mime_type = "image/gif";
  record.last_accessed = kRecent + n;
  record.content_length = static_cast<std::uint32_t>(100 + n);
  return record;
}

Db185HashFile::Options Options(std::uint32_t page_size, int byte_order = 0,
                               std::optional<std::uint32_t> fixed_hash = std::nullopt) {
  Db185HashFile::Options options;
  options.page_size = page_size;
  options.byte_order = byte_order;
  options.fixed_hash = fixed_hash;
  return options;
}

std::string CanonicalOf(const NavigatorRecord& record) {
  return "http://" + record.url.substr(7, record.url.find('/', 7) - 7) + ":80" +
         record.url.substr(record.url.find('/', 7));
}

class DatabaseIndex : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(program_.path()); }

  // Writes the cached file of a record (names on disk keep their case).
  void WriteFile(const NavigatorRecord& record) { cache_.Write(record.file_name, "x"); }
  std::string IndexPath() const { return cache_.File("FAT.DB"); }

  // Reads the index and answers URL -> LocalFile, failing on any URL met twice.
  std::map<std::string, std::string> Read() {
    items_.clear();
    EXPECT_TRUE(ReadCacheIndex(IndexPath(), items_, prompter_, &stats_));
    std::map<std::string, std::string> result;
    for (const auto& item : items_) {
      EXPECT_TRUE(result.emplace(item->URL, item->LocalFile).second) << item->URL;
    }
    return result;
  }

  TempDir program_;
  TempDir cache_;
  ScopedFixedClock clock_{kNow};
  ScriptedPrompter prompter_;
  TCacheItemList items_;
  CacheIndexStats stats_;
};

TEST_F(DatabaseIndex, TheLibraryAgreesWithOurDeclarationOfItsInterface) {
  Db185HashFile file(IndexPath(), Options(4096));
  file.Put("alpha", std::string("one\0two", 7));
  file.Put("beta", "2");
  file.Put("alpha", "replaced");
  EXPECT_EQ(file.Get("alpha"), "replaced");
  EXPECT_EQ(file.Get("beta"), "2");
  EXPECT_FALSE(file.Get("gamma"));
  EXPECT_TRUE(file.Delete("beta"));
  EXPECT_FALSE(file.Delete("beta"));
  const auto all = file.All();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].first, "alpha");
  file.Close();
  const auto bytes = ReadFileBytes(IndexPath());
  ASSERT_TRUE(bytes);
  ASSERT_GE(bytes->size(), 8192u);
  EXPECT_EQ(bytes->substr(0, 4), std::string("\x00\x06\x15\x61", 4));   // hash magic
  EXPECT_EQ(bytes->substr(12, 4), std::string("\x00\x00\x10\x00", 4));  // page size 4096
}

class GenuineDatabase : public DatabaseIndex,
                        public ::testing::WithParamInterface<Db185HashFile::Options> {};

TEST_P(GenuineDatabase, EveryEntryItHoldsIsReadOnce) {
  constexpr int kEntries = 3000;
  std::set<std::string> expected;
  {
    NavigatorDatabaseWriter writer(IndexPath(), GetParam());
    for (int n = 0; n < kEntries; ++n) {
      const NavigatorRecord record = Record(n);
      writer.AddRecord(record);
      WriteFile(record);
      expected.insert(CanonicalOf(record));
    }
    EXPECT_EQ(writer.file().All().size(), kEntries + 3u);  // and the three settings
  }
  const auto read = Read();
  EXPECT_EQ(read.size(), expected.size());
  for (const std::string& url : expected) EXPECT_TRUE(read.contains(url)) << url;
  EXPECT_EQ(stats_.page_size, GetParam().page_size);
  // Splits leave stale copies in freed overflow pages even without deletions.
  EXPECT_EQ(stats_.entries, kEntries + stats_.dropped_duplicate);
  EXPECT_EQ(stats_.found_ignoring_case, static_cast<std::uint64_t>(kEntries));
  for (const auto& item : items_) EXPECT_TRUE(FileExists(item->LocalFile)) << item->LocalFile;
}

TEST_P(GenuineDatabase, RewrittenAndDeletedEntriesAreNotReportedTwice) {
  // Entries are rewritten and removed as a browser does over weeks; freed
  // overflow pages keep stale copies that the page walk meets again.
  std::map<std::string, NavigatorRecord> live;
  {
    NavigatorDatabaseWriter writer(IndexPath(), GetParam());
    for (int n = 0; n < 3000; ++n) {
      NavigatorRecord record = Record(n);
      writer.AddRecord(record);
      live[CanonicalOf(record)] = record;
    }
    for (int n = 0; n < 3000; n += 3) {
      ASSERT_TRUE(writer.RemoveRecord(Record(n).url));
      live.erase(CanonicalOf(Record(n)));
    }
    for (int n = 1; n < 3000; n += 6) {  // a new copy under the same address
      NavigatorRecord record = Record(n, "b");
      record.post_headers = "Content-Type: text/plain";
      writer.AddRecord(record);
      live[CanonicalOf(record)] = record;
    }
    for (int n = 3000; n < 3600; ++n) {
      writer.AddRecord(Record(n));
      live[CanonicalOf(Record(n))] = Record(n);
    }
  }
  // The browser deletes the file of a removed entry; a rewritten entry's old
  // file stays, so its stale copies cannot fall out for lack of a file.
  for (int n = 0; n < 3600; ++n) {
    if (n < 3000 && n % 3 == 0) continue;
    WriteFile(Record(n));
    WriteFile(Record(n, "b"));
  }
  const auto read = Read();
  EXPECT_EQ(read.size(), live.size());
  for (const auto& [url, record] : live) {
    ASSERT_TRUE(read.contains(url)) << url;
  }
  EXPECT_GT(stats_.dropped_duplicate, 0u);
  std::printf(
      "[   INFO   ] page size %u: %llu entries met for %zu live, %llu duplicates, %llu pages "
      "with their data area taken from the page header\n",
      GetParam().page_size, static_cast<unsigned long long>(stats_.entries), live.size(),
      static_cast<unsigned long long>(stats_.dropped_duplicate),
      static_cast<unsigned long long>(stats_.data_area_from_header));
}

INSTANTIATE_TEST_SUITE_P(PageSizes, GenuineDatabase,
                         ::testing::Values(Options(4096), Options(16384), Options(4096, 4321)),
                         [](const auto& param_info) {
                           return std::to_string(param_info.param.page_size) +
                                  (param_info.param.byte_order == 4321 ? "BigEndian" : "");
                         });

TEST_F(DatabaseIndex, AnEmptyFirstBucketDoesNotHideTheRealPageSize) {
  // Every key hashes to bucket 1, so the block after the header is empty:
  // judged by its bytes alone the file would be read with 16384-byte pages.
  {
    NavigatorDatabaseWriter writer(IndexPath(), Options(4096, 0, 1));
    for (int n = 0; n < 5; ++n) {
      writer.AddRecord(Record(n));
      WriteFile(Record(n));
    }
  }
  EXPECT_EQ(Read().size(), 5u);
  EXPECT_EQ(stats_.page_size, 4096u);
  EXPECT_TRUE(stats_.page_size_from_header);
}

TEST_F(DatabaseIndex, WithoutAHeaderTheSecondBlockChoosesThePageSize) {
  const NavigatorRecord record = Record(1);
  WriteFile(record);
  const std::string header(4096, 'h');  // no valid hash-file header
  const std::string page = RawPage(4096).AddRecord(record).Build();
  // The second block holds a page: 4096-byte pages.
  cache_.Write("FAT.DB", header + page);
  EXPECT_EQ(Read().size(), 1u);
  EXPECT_EQ(stats_.page_size, 4096u);
  // The second block begins with 51 zero bytes: 16384-byte pages, and the
  // record is out of reach.
  cache_.Write("FAT.DB", header + std::string(4096, '\0') + page + std::string(8192, '\0'));
  EXPECT_EQ(Read().size(), 0u);
  EXPECT_EQ(stats_.page_size, 16384u);
  // Fewer than two blocks: 16384, and no page after the header page.
  cache_.Write("FAT.DB", header + page.substr(0, 4095));
  EXPECT_EQ(Read().size(), 0u);
  EXPECT_EQ(stats_.page_size, 16384u);
  EXPECT_EQ(stats_.pages_read, 0u);
}

TEST_F(DatabaseIndex, SettingsEntriesAreSteppedOverWhereverTheyLie) {
  std::vector<NavigatorRecord> records;
  for (int n = 0; n < 3; ++n) {
    records.push_back(Record(n));
    WriteFile(records.back());
  }
  const std::string page =
      RawPage(16384)
          .AddRecord(records[0])
          .Add(std::string(testing::kExternalCacheNameKey), testing::kInternalCacheName)
          .AddRecord(records[1])
          .Add(std::string(testing::kDiskCacheSizeKey), testing::LittleEndian32(0x4D2))
          .AddRecord(records[2])
          .Add(std::string(testing::kDiskCacheNumberKey), testing::LittleEndian32(3))
          .Build();
  cache_.Write("FAT.DB", testing::DatabaseFile(16384, {page}));
  EXPECT_EQ(Read().size(), 3u);
  EXPECT_EQ(stats_.settings_skipped, 2u);  // the first one opens the data area
  EXPECT_EQ(stats_.entries, 3u);
  EXPECT_EQ(prompter_.pending_message_calls(), 1);  // once per page
}

TEST_F(DatabaseIndex, FieldsOverTheirLimitsReadAsEmptyAndTheWalkGoesOn) {
  NavigatorRecord long_name = Record(1);
  long_name.file_name = std::string(49, 'n') + ".gif";  // 54 with its NUL
  NavigatorRecord long_type = Record(2);
  long_type.mime_type = "image/" + std::string(100, 't');
  NavigatorRecord long_url = Record(3);
  long_url.url = "http://long.com/" + std::string(600, 'u');
  NavigatorRecord cut_url = Record(4);
  cut_url.url = "http://cut.com/" + std::string(400, 'c');
  NavigatorRecord shifted = Record(5);
  shifted.post_headers = "a=1&b=2";  // the skipped text moves the type
  shifted.mime_type = "text/plain";
  for (const auto* record : {&long_name, &long_type, &long_url, &cut_url, &shifted}) {
    WriteFile(*record);
  }
  const std::string page = RawPage(16384)
                               .AddRecord(shifted)
                               .AddRecord(cut_url)
                               .AddRecord(long_url)
                               .AddRecord(long_type)
                               .AddRecord(long_name)
                               .Build();
  cache_.Write("FAT.DB", testing::DatabaseFile(16384, {page}));
  Read();
  ASSERT_EQ(items_.size(), 3u);
  // Lowest offset first: the record added last comes first.
  EXPECT_EQ(items_[0]->MimeIndex, kMimeIndexHtml);  // type over its limit: empty
  EXPECT_EQ(items_[0]->Category, kCategoryOther);
  EXPECT_EQ(items_[1]->URL, CanonicalOf(cut_url).substr(0, 255 + 3));
  EXPECT_EQ(items_[2]->MimeIndex, 4);     // text/plain found behind the skipped text
  EXPECT_EQ(stats_.dropped_no_file, 1u);  // the long name
  EXPECT_EQ(stats_.dropped_no_host, 1u);  // the long URL
}

TEST_F(DatabaseIndex, APageLinkedToAnOverflowPageKeepsItsRecords) {
  // The link's page number (2049) lies below the data: the offset walk alone
  // would take the table's 0 for its end and start the records in the free
  // space.
  const NavigatorRecord record = Record(1);
  WriteFile(record);
  const std::string page = RawPage(16384).AddRecord(record).LinkOverflow(2049).Build();
  cache_.Write("FAT.DB", testing::DatabaseFile(16384, {page}));
  EXPECT_EQ(Read().size(), 1u);
  EXPECT_EQ(stats_.data_area_from_header, 1u);
  // Above the data, the walk finds the area by itself.
  const std::string high = RawPage(4096).AddRecord(record).LinkOverflow(14337).Build();
  cache_.Write("FAT.DB", testing::DatabaseFile(4096, {high}));
  EXPECT_EQ(Read().size(), 1u);
  EXPECT_EQ(stats_.data_area_from_header, 0u);
}

TEST_F(DatabaseIndex, APageGivesAtMost250Records) {
  // Twelve-byte records: L = 0, then a key of an empty URL and no POST digest.
  RawPage page(16384);
  for (int i = 0; i < 300; ++i) page.Add(std::string(8, '\0'), std::string(4, '\0'));
  cache_.Write("FAT.DB", testing::DatabaseFile(16384, {page.Build()}));
  Read();
  EXPECT_EQ(stats_.entries, 250u);
}

TEST_F(DatabaseIndex, AShortFinalPageIsParsedFromTheBytesReadOnly) {
  const NavigatorRecord first = Record(1);
  const NavigatorRecord second = Record(2);
  WriteFile(first);
  WriteFile(second);
  const std::string page = RawPage(4096).AddRecord(first).Build();
  // The same layout with another address, cut before its records: the rest
  // of the buffer must not show the first page's record again.
  const std::string cut = RawPage(4096).AddRecord(second).Build().substr(0, 2048);
  cache_.Write("FAT.DB", testing::DatabaseFile(4096, {page, cut}));
  const auto read = Read();
  EXPECT_EQ(read.size(), 1u);
  EXPECT_TRUE(stats_.short_final_page);
  EXPECT_EQ(stats_.pages_read, 2u);
  EXPECT_EQ(stats_.dropped_duplicate, 0u);
}

}  // namespace
}  // namespace webhoard
