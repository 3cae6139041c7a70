// The index reader's shared rules, the text index, and the real Navigator 3
// sample read in place.
#include "cache/navigator/read_cache_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cache/mime_types.h"
#include "cache/navigator/cache_entry_builder.h"
#include "common/clock.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "support/file_name_case.h"
#include "support/navigator_index_writer.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::NavigatorRecord;
using testing::ScriptedPrompter;
using testing::TempDir;
using testing::TextIndex;
using testing::TextIndexLine;

constexpr double kNow = 46000.5;              // 2025-12-09 12:00
constexpr std::int32_t kRecent = 1764000000;  // 2025-11-24

// A cache folder with its own program folder for MIMETYPE.DAT.
class NavigatorCache : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(program_.path()); }
  std::string Folder() const { return cache_.path() + "/"; }

  TempDir program_;
  TempDir cache_;
  ScopedFixedClock clock_{kNow};
  ScriptedPrompter prompter_;
  TCacheItemList items_;
  CacheIndexStats stats_;
};

TEST_F(NavigatorCache, RealNavigator3SampleYieldsItsThreeItems) {
  const std::string index = testing::SharedSample("netscape/dt2011-nav3-linux/cache/index.db");
  if (index.empty()) return;
  const std::string folder = CacheFolderOf(index);
  ASSERT_TRUE(ReadCacheIndex(index, items_, prompter_, &stats_));
  EXPECT_EQ(stats_.format, CacheIndexFormat::kDatabase);
  EXPECT_EQ(stats_.page_size, 16384u);
  ASSERT_EQ(items_.size(), 3u);
  struct Expected {
    const char* url;
    int mime_index;
    int category;
    const char* file;
    const char* date;  // the last access, as stored
  };
  // The reader meets the entries lowest offset first, page by page.
  const Expected expected[] = {
      {"http://home.netscape.com:80/", kMimeIndexHtml, kCategoryText, "14/cache3260FAB40000D5A",
       "1996-10-13 14:20:37"},
      {"http://home.netscape.com:80/images/showcase.gif", 2, kCategoryMedia,
       "19/cache31E80A790031C1F.gif", "1996-07-13 20:43:39"},
      {"http://home.netscape.com:80/images/nav_home.gif", 2, kCategoryMedia,
       "19/cache31E80A790021C1F.gif", "1996-07-13 20:43:39"},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items_[i]->URL, expected[i].url);
    EXPECT_EQ(items_[i]->Domain, "home.netscape.com");
    EXPECT_EQ(items_[i]->MimeIndex, expected[i].mime_index);
    EXPECT_EQ(items_[i]->Category, expected[i].category);
    // The database reader lower-cases names; the files carry upper case.
    EXPECT_TRUE(std::filesystem::equivalent(items_[i]->LocalFile, folder + expected[i].file))
        << items_[i]->LocalFile;
    EXPECT_TRUE(FileExists(items_[i]->LocalFile));
    EXPECT_EQ(FormatDateTime(items_[i]->Date), expected[i].date);
    EXPECT_TRUE(items_[i]->Title.empty());
    EXPECT_FALSE(items_[i]->CacheKey.has_value());
  }
  EXPECT_EQ(stats_.pages_read, 3u);  // two buckets and the free-page bitmap
  EXPECT_EQ(stats_.entries, 3u);
  // Where the file system ignores case the names open as stored.
  EXPECT_EQ(stats_.found_ignoring_case, testing::IgnoresCase(cache_) ? 0u : 3u);
  EXPECT_EQ(stats_.dropped_duplicate, 0u);
  EXPECT_FALSE(stats_.stopped);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(NavigatorCache, AnIndexThatCannotBeOpenedWarnsAndAnswersFalse) {
  for (const std::string& path : {cache_.File("FAT.DB"), cache_.path()}) {
    SCOPED_TRACE(path);
    ScriptedPrompter prompter;
    EXPECT_FALSE(ReadCacheIndex(path, items_, prompter, &stats_));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, "Please close down Netscape\r\nbefore continuing.");
    EXPECT_EQ(prompter.messages()[0].kind, MessageKind::kWarning);
    EXPECT_EQ(prompter.messages()[0].buttons, kButtonOk);
  }
  EXPECT_TRUE(items_.empty());
}

TEST(CacheIndexFormat, TheFirstTenCharactersDecideWithoutRegardToCase) {
  EXPECT_EQ(DetectCacheIndexFormat("mcom-cache-file-allocation"), CacheIndexFormat::kText);
  EXPECT_EQ(DetectCacheIndexFormat("Mosaic-Com"), CacheIndexFormat::kText);
  EXPECT_EQ(DetectCacheIndexFormat("MCOM-CACH"), CacheIndexFormat::kDatabase);
  EXPECT_EQ(DetectCacheIndexFormat(""), CacheIndexFormat::kDatabase);
}

TEST_F(NavigatorCache, TextIndexLinesNeedAnEighthField) {
  cache_.Write("A.MOZ", "a");
  cache_.Write("B.MOZ", "b");
  cache_.Write("C.MOZ", "c");
  cache_.Write("D.MOZ", "d");
  const std::string seven =
      "1\t2\t" + std::to_string(kRecent) + "\tA.MOZ\thttp://a.com/\ttext/html\t7";
  const std::string lines = TextIndex({
      seven,            // skipped: seven fields
      seven + "\t \t",  // an eighth field of one space
      TextIndexLine(kRecent, "C:\\NETSCAPE\\CACHE\\B.MOZ", "http://B.com/x", "IMAGE/GIF"),
      "1\t\t2\t" + std::to_string(kRecent) + "\tC.MOZ\thttp://c.com/\ttext/plain\t7\t8",
  });
  // The last line needs no line break.
  const std::string index = cache_.Write(
      "FAT", lines + TextIndexLine(kRecent, "D.MOZ", "http://d.com/", "text/html", "9"));
  ASSERT_TRUE(ReadCacheIndex(index, items_, prompter_, &stats_));
  EXPECT_EQ(stats_.format, CacheIndexFormat::kText);
  std::vector<std::string> urls;
  for (const auto& item : items_) urls.push_back(item->URL);
  // " \t" after the seventh field is an eighth field of one space.
  EXPECT_EQ(urls, (std::vector<std::string>{"http://a.com:80/", "http://b.com:80/x",
                                            "http://c.com:80/", "http://d.com:80/"}));
  EXPECT_EQ(stats_.lines_skipped, 1u);
  EXPECT_EQ(items_[1]->LocalFile, cache_.File("B.MOZ"));  // only the name part of the path
  EXPECT_EQ(items_[1]->MimeIndex, 2);                     // the type is lower-cased
  EXPECT_EQ(items_[1]->Category, kCategoryMedia);
  EXPECT_EQ(items_[2]->MimeIndex, 4);  // the double tab made no empty field
}

TEST_F(NavigatorCache, TextIndexLinesEndAtCrOrLfAndAreCutAt255) {
  cache_.Write("a.moz", "a");
  cache_.Write("b.moz", "b");
  const std::string long_line =
      TextIndexLine(kRecent, "a.moz", "http://long.com/" + std::string(300, 'x'), "text/html");
  const std::string index = cache_.Write(
      "FAT", TextIndex({TextIndexLine(kRecent, "a.moz", "http://a.com/", "text/html"), long_line,
                        TextIndexLine(kRecent, "b.moz", "http://b.com/", "text/html")},
                       "MCOM-CACHE", "\r\n\r\n"));
  ASSERT_TRUE(ReadCacheIndex(index, items_, prompter_, &stats_));
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_EQ(items_[0]->URL, "http://a.com:80/");
  // The cut line lost its MIME type and the rest: seven fields at most.
  EXPECT_EQ(stats_.lines_skipped, 1u);
  EXPECT_EQ(items_[1]->URL, "http://b.com:80/");
}

TEST_F(NavigatorCache, TextIndexTimesAndMessagePumping) {
  cache_.Write("a.moz", "a");
  std::vector<std::string> lines;
  lines.push_back(TextIndexLine(0, "a.moz", "http://zero.com/", "text/html"));
  lines.push_back(TextIndexLine(2000000000, "a.moz", "http://future.com/", "text/html"));
  lines.push_back("1\t2\tsoon\ta.moz\thttp://word.com/\ttext/html\t7\t8");
  lines.push_back(TextIndexLine(kRecent, "a.moz", "http://recent.com/", "text/html"));
  for (int i = 0; i < 7; ++i) lines.push_back("short line");
  ASSERT_TRUE(ReadCacheIndex(cache_.Write("FAT", TextIndex(lines)), items_, prompter_, &stats_));
  ASSERT_EQ(items_.size(), 4u);
  EXPECT_EQ(items_[0]->Date, kFirstWebDate);
  EXPECT_EQ(items_[1]->Date, kNow);
  EXPECT_EQ(items_[2]->Date, kFirstWebDate);  // not a number: 0
  EXPECT_DOUBLE_EQ(items_[3]->Date, kRecent / 86400.0 + 25569);
  // Before lines 1, 6 and 11.
  EXPECT_EQ(prompter_.pending_message_calls(), 3);
}

TEST_F(NavigatorCache, AStopCheckEndsALongReadKeepingTheItemsBeforeIt) {
  // A text index far longer than the read is allowed to get, and the real
  // database sample; the check answers "stop" at its `stop_at`-th question.
  cache_.Write("a.moz", "a");
  std::string text = "MCOM-CACHE\n";
  constexpr int kLines = 250000;
  text.reserve(kLines * 48);
  for (int i = 0; i < kLines; ++i) {
    text += "1\t2\t1764000000\ta.moz\thttp://a.com/" + std::to_string(i) + "\ttext/html\t7\t8\n";
  }
  const std::string long_text = cache_.Write("FAT", text);
  struct Row {
    std::string index;
    int stop_at;
    std::uint64_t entries;  // read before the stop
    std::uint64_t pages;
  };
  auto check = [&](const Row& row) {
    SCOPED_TRACE(row.index + " " + std::to_string(row.stop_at));
    TCacheItemList items;
    int calls = 0;
    const ReadStopCheck stop = [&] { return ++calls == row.stop_at; };
    ASSERT_TRUE(ReadCacheIndex(row.index, items, prompter_, &stats_, stop));
    EXPECT_TRUE(stats_.stopped);
    EXPECT_EQ(calls, row.stop_at);
    EXPECT_EQ(stats_.entries, row.entries);
    EXPECT_EQ(items.size(), row.entries);
    EXPECT_EQ(stats_.pages_read, row.pages);
  };
  check({long_text, 1, 0, 0});  // asked before the first line
  check({long_text, 3, 2 * kEntriesPerStopCheck, 0});
  // The database reader, over the real sample where it is at hand.
  const std::string sample = testing::SharedSample("netscape/dt2011-nav3-linux/cache/index.db");
  if (sample.empty()) return;
  check({sample, 1, 0, 0});  // asked before every page
  check({sample, 2, 3, 1});  // all three records sit in the first bucket
  check({sample, 3, 3, 2});
  // A check that never stops reads to the end.
  TCacheItemList items;
  ASSERT_TRUE(ReadCacheIndex(sample, items, prompter_, &stats_, [] { return false; }));
  EXPECT_FALSE(stats_.stopped);
  EXPECT_EQ(items.size(), 3u);
}

class EntryBuilder : public NavigatorCache {
 protected:
  CacheEntryBuilder builder_{Folder(), items_, stats_};
};

TEST_F(EntryBuilder, AddressesAreCanonicalAndUnusableOnesDropped) {
  cache_.Write("f", "x");
  builder_.AddCacheEntry("ftp://Files.Example.com/pub/a.zip", "f", "application/zip", kRecent);
  builder_.AddCacheEntry("https://secure.com/", "f", "text/html", kRecent);
  builder_.AddCacheEntry("file://c:/x.htm", "f", "text/html", kRecent);
  builder_.AddCacheEntry("http:///nohost", "f", "text/html", kRecent);
  builder_.AddCacheEntry("http://empty.com:8080/t", "f", "", kRecent);
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_EQ(items_[0]->URL, "http://files.example.com:80/pub/a.zip");
  EXPECT_EQ(items_[0]->Domain, "files.example.com");
  EXPECT_EQ(items_[0]->Category, kCategoryOther);
  // An empty type reads as the page type, but its category sees the empty text.
  EXPECT_EQ(items_[1]->URL, "http://empty.com:8080/t");
  EXPECT_EQ(items_[1]->MimeIndex, kMimeIndexHtml);
  EXPECT_EQ(items_[1]->Category, kCategoryOther);
  EXPECT_EQ(stats_.dropped_no_host, 3u);
}

TEST_F(EntryBuilder, FileNamesLeadingOutOfTheCacheFolderAreDropped) {
  // Deleting an item deletes its LocalFile: these must never become items,
  // even though each names a file that exists.
  const std::string outside = program_.Write("victim.txt", "keep me");
  cache_.Write("sub/inner.gif", "x");
  const std::string relative_outside =
      "../" + std::filesystem::path(program_.path()).filename().string() + "/victim.txt";
  builder_.AddCacheEntry("http://a.com/1", outside, "text/plain", kRecent);
  builder_.AddCacheEntry("http://a.com/2", relative_outside, "text/plain", kRecent);
  builder_.AddCacheEntry("http://a.com/3", "sub/../" + relative_outside, "text/plain", kRecent);
  builder_.AddCacheEntry("http://a.com/4", "..\\x", "text/plain", kRecent);
  builder_.AddCacheEntry("http://a.com/5", "C:\\WINDOWS\\win.ini", "text/plain", kRecent);
  builder_.AddCacheEntry("http://a.com/6", "sub/inner.gif", "image/gif", kRecent);
  ASSERT_EQ(items_.size(), 1u);
  EXPECT_EQ(items_[0]->LocalFile, cache_.File("sub/inner.gif"));
  EXPECT_EQ(stats_.dropped_unsafe_name, 5u);
  EXPECT_TRUE(IsUnsafeCacheFileName(".."));
  EXPECT_FALSE(IsUnsafeCacheFileName("..x/y..z"));
}

TEST_F(EntryBuilder, TheFirstEntryWithAFileTakesItsAddress) {
  cache_.Write("new.gif", "x");
  cache_.Write("old.gif", "x");
  builder_.AddCacheEntry("http://a.com/x", "gone.gif", "image/gif", kRecent);    // no file
  builder_.AddCacheEntry("http://A.com:80/x", "new.gif", "image/gif", kRecent);  // taken
  builder_.AddCacheEntry("http://a.com/x", "old.gif", "image/gif", kRecent);     // stale copy
  ASSERT_EQ(items_.size(), 1u);
  EXPECT_EQ(items_[0]->LocalFile, cache_.File("new.gif"));
  EXPECT_EQ(stats_.dropped_no_file, 1u);
  EXPECT_EQ(stats_.dropped_duplicate, 1u);
  EXPECT_EQ(stats_.entries, 3u);
}

TEST_F(EntryBuilder, DroppedEntriesAddNoTypeToTheTypeFile) {
  const int types = MimeTypeCount();
  builder_.AddCacheEntry("http://a.com/x", "missing.bin", "x-junk/never-kept", kRecent);
  builder_.AddCacheEntry("gopher://a.com/x", "missing.bin", "x-junk/other", kRecent);
  EXPECT_EQ(MimeTypeCount(), types);
  EXPECT_FALSE(FileExists(program_.File("MIMETYPE.DAT")));
  cache_.Write("kept.bin", "x");
  builder_.AddCacheEntry("http://a.com/y", "kept.bin", "x-new/kept", kRecent);
  EXPECT_EQ(MimeTypeCount(), types + 1);
  EXPECT_EQ(items_[0]->MimeIndex, types + 1);
}

TEST_F(EntryBuilder, MissingFilesAreFoundWithoutRegardToCase) {
  if (testing::IgnoresCase(cache_)) GTEST_SKIP() << "the file system itself ignores case";
  cache_.Write("19/CACHE31E8.GIF", "x");
  cache_.Write("M0ABC.MOZ", "x");
  builder_.AddCacheEntry("http://a.com/1", "19/cache31e8.gif", "image/gif", kRecent);
  builder_.AddCacheEntry("http://a.com/2", "m0abc.moz", "text/html", kRecent);
  builder_.AddCacheEntry("http://a.com/3", "m0abd.moz", "text/html", kRecent);
  builder_.AddCacheEntry("http://a.com/4", "19", "text/html", kRecent);  // a folder
  ASSERT_EQ(items_.size(), 2u);
  EXPECT_EQ(items_[0]->LocalFile, cache_.File("19/CACHE31E8.GIF"));
  EXPECT_EQ(items_[1]->LocalFile, cache_.File("M0ABC.MOZ"));
  EXPECT_EQ(stats_.found_ignoring_case, 2u);
  EXPECT_EQ(stats_.dropped_no_file, 2u);
}

TEST(CacheTime, RealDatesAreKeptAndImpossibleOnesMended) {
  ScopedFixedClock clock(kNow);
  struct Row {
    std::int32_t time;
    const char* date;
  };
  const Row rows[] = {
      {0, "1990-01-01 00:00:00"},  // never written
      {-2147483647 - 1, "1990-01-01 00:00:00"},
      {631151999, "1990-01-01 00:00:00"},  // 1989-12-31 23:59:59: before the web
      {631152000, "1990-01-01 00:00:00"},
      {631152001, "1990-01-01 00:00:01"},
      {845216437, "1996-10-13 14:20:37"},  // a real Navigator 3 time, not clamped
      {kRecent, "2025-11-24 16:00:00"},
      {1765281600, "2025-12-09 12:00:00"},  // now
      {1765281601, "2025-12-09 12:00:00"},  // the future: now
      {2147483647, "2025-12-09 12:00:00"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FormatDateTime(CacheTimeToDate(row.time)), row.date) << row.time;
  }
  EXPECT_EQ(CacheTimeToDate(0), kFirstWebDate);
  // The mended dates do not move with the clock, so age filters answer the
  // same from run to run.
  ScopedFixedClock later(kNow + 1000);
  EXPECT_EQ(CacheTimeToDate(-1), kFirstWebDate);
  EXPECT_DOUBLE_EQ(CacheTimeToDate(kRecent), kRecent / 86400.0 + 25569);
}

TEST(CacheFolder, EndsAtTheLastSeparator) {
  EXPECT_EQ(CacheFolderOf("/home/u/.netscape/cache/index.db"), "/home/u/.netscape/cache/");
  EXPECT_EQ(CacheFolderOf("C:\\NETSCAPE\\CACHE\\FAT.DB"), "C:\\NETSCAPE\\CACHE\\");
  EXPECT_EQ(CacheFolderOf("FAT.DB"), "");
}

}  // namespace
}  // namespace webhoard
