// The Internet Explorer reader over a scripted URL cache: which entries
// become items and how, the retries while the cache is not active, and how
// the enumeration ends.
#include "cache/msie/read_ie_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>

#include "cache/mime_types.h"
#include "cache/msie/file_time_to_date.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

// A URL cache that answers from a list, with scripted failures.
class ScriptedUrlCache : public UrlCache {
 public:
  std::vector<UrlCacheEntry> entries;
  std::deque<std::uint32_t> open_failures;  // errors the next openings fail with
  std::size_t fail_next_at = SIZE_MAX;      // entry index at which FindNext fails
  std::uint32_t fail_next_with = kErrorInsufficientBuffer;
  std::vector<UrlCacheFindHandle> closed;
  std::vector<std::string> patterns;
  std::vector<std::uint32_t> buffer_sizes;

  UrlCacheFindHandle FindFirstUrlCacheEntry(const char* pattern, UrlCacheEntry& entry,
                                            std::uint32_t& size) override {
    patterns.push_back(pattern != nullptr ? pattern : "(null)");
    if (!open_failures.empty()) {
      error_ = open_failures.front();
      open_failures.pop_front();
      return 0;
    }
    next_ = 0;
    return Take(entry, size) ? 7 : 0;
  }
  bool FindNextUrlCacheEntry(UrlCacheFindHandle handle, UrlCacheEntry& entry,
                             std::uint32_t& size) override {
    EXPECT_EQ(handle, 7u);
    return Take(entry, size);
  }
  bool FindCloseUrlCache(UrlCacheFindHandle handle) override {
    closed.push_back(handle);
    return true;
  }
  bool DeleteUrlCacheEntry(std::string_view) override { return false; }
  std::uint32_t LastError() const override { return error_; }
  std::string LastErrorText() const override { return {}; }

 private:
  bool Take(UrlCacheEntry& entry, std::uint32_t& size) {
    buffer_sizes.push_back(size);
    if (next_ == fail_next_at) {
      error_ = fail_next_with;
      return false;
    }
    if (next_ >= entries.size()) {
      error_ = kErrorNoMoreItems;
      return false;
    }
    entry = entries[next_++];
    return true;
  }
  std::size_t next_ = 0;
  std::uint32_t error_ = 0;
};

// FILETIME of a UTC calendar time.
std::uint64_t FileTime(int y, unsigned mo, unsigned d, unsigned h, unsigned mi, unsigned s,
                       unsigned ms = 0) {
  const auto days =
      std::chrono::sys_days(std::chrono::year(y) / std::chrono::month(mo) / std::chrono::day(d))
          .time_since_epoch()
          .count();
  const std::uint64_t seconds =
      static_cast<std::uint64_t>(days + 134774) * 86400 + h * 3600 + mi * 60 + s;
  return seconds * 10000000 + ms * 10000;
}

double Date(int y, int mo, int d, int h, int mi, int s) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

class ReadIECacheTest : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(program_.path()); }

  UrlCacheEntry Entry(std::string url, std::string headers, bool with_file = true) {
    UrlCacheEntry e;
    e.source_url_name = std::move(url);
    e.header_info = std::move(headers);
    e.local_file_name = dir_.File("f" + std::to_string(serial_++));
    if (with_file) dir_.Write(std::filesystem::path(e.local_file_name).filename().string(), "x");
    e.last_sync_time = FileTime(2015, 8, 25, 11, 5, 36);
    e.last_access_time = FileTime(2015, 8, 25, 11, 5, 37, 137);
    return e;
  }

  TempDir program_;
  TempDir dir_;
  ScriptedUrlCache cache_;
  TCacheItemList items_;
  int serial_ = 0;
};

TEST_F(ReadIECacheTest, EntriesBecomeItemsWithCanonicalUrlTypeDateAndFile) {
  cache_.entries = {
      Entry("https://Secure.Example.org/a/b?q=1",
            "HTTP/1.1 200 OK\r\nCONTENT-TYPE: image/PNG\r\n\r\n"),
      Entry("http://www.example.com:8080\\x\\y.txt", "HTTP/1.1 200 OK\r\n\r\n"),
  };
  cache_.entries[1].last_access_time = FileTime(2020, 1, 2, 3, 4, 5);
  IECacheStats stats;
  ASSERT_TRUE(ReadIECache(cache_, items_, &stats));
  ASSERT_EQ(items_.size(), 2u);
  const TCacheItem& png = *items_[0];
  EXPECT_EQ(png.URL, "https://secure.example.org:443/a/b?q=1");
  EXPECT_EQ(png.CacheKey, "https://Secure.Example.org/a/b?q=1");
  EXPECT_EQ(png.Domain, "secure.example.org");
  EXPECT_EQ(png.MimeIndex, LookupMimeType("image/png"));
  EXPECT_EQ(png.Category, kCategoryMedia);
  EXPECT_EQ(png.LocalFile, cache_.entries[0].local_file_name);
  EXPECT_EQ(png.Date, Date(2015, 8, 25, 11, 5, 36));
  EXPECT_EQ(png.Title, "");
  EXPECT_EQ(png.ArchiveName, "");
  // No content type: a page; the later access time wins over the sync time.
  const TCacheItem& txt = *items_[1];
  EXPECT_EQ(txt.URL, "http://www.example.com:8080/x/y.txt");
  EXPECT_EQ(txt.MimeIndex, kMimeIndexHtml);
  EXPECT_EQ(txt.Category, kCategoryText);
  EXPECT_EQ(txt.Date, Date(2020, 1, 2, 3, 4, 4));
  EXPECT_EQ(stats.items_added, 2u);
  EXPECT_EQ(cache_.patterns, std::vector<std::string>{"*.*"});
  for (std::uint32_t size : cache_.buffer_sizes) EXPECT_EQ(size, kIECacheEntryBufferSize);
  EXPECT_EQ(cache_.closed, std::vector<UrlCacheFindHandle>{7});
}

TEST_F(ReadIECacheTest, UnusableSchemesHostsAndMissingFilesAreDropped) {
  cache_.entries = {
      Entry("ftp://ftp.example.org/file.zip", ""),
      Entry("Visited: me@http://www.example.com/", ""),
      Entry("VISITED: me@http://www.example.com/", ""),
      Entry("cookie:me@example.com/", ""),
      Entry("http:///nohost", ""),
      Entry("http://gone.example.com/", "", false),
      Entry("http://kept.example.com/", ""),
  };
  cache_.entries[5].local_file_name = dir_.File("missing");
  IECacheStats stats;
  ASSERT_TRUE(ReadIECache(cache_, items_, &stats));
  ASSERT_EQ(items_.size(), 1u);
  EXPECT_EQ(items_[0]->Domain, "kept.example.com");
  EXPECT_EQ(stats.entries, 7u);
  EXPECT_EQ(stats.dropped_no_host, 5u);
  EXPECT_EQ(stats.dropped_no_file, 1u);
}

TEST_F(ReadIECacheTest, ItemsAreAppendedAndAnEmptyCacheAnswersFalse) {
  EXPECT_FALSE(ReadIECache(cache_, items_));
  EXPECT_EQ(cache_.patterns.size(), 1u);  // 259 is not retried
  items_.push_back(std::make_unique<TCacheItem>());
  EXPECT_TRUE(ReadIECache(cache_, items_));  // the list already held an item
  EXPECT_EQ(items_.size(), 1u);
}

TEST_F(ReadIECacheTest, InactiveServiceIsRetriedTwentyTimesOneSecondApart) {
  std::vector<int> waits;
  const SleepFunction record = [&](int ms) { waits.push_back(ms); };
  cache_.entries = {Entry("http://a.example/", "")};
  cache_.open_failures = {kErrorServiceNotActive, kErrorServiceNotActive};
  IECacheStats stats;
  EXPECT_TRUE(ReadIECache(cache_, items_, &stats, record));
  EXPECT_EQ(stats.open_attempts, 3);
  EXPECT_EQ(waits, (std::vector<int>{1000, 1000}));
  // Each failed attempt closes the null handle first.
  EXPECT_EQ(cache_.closed, (std::vector<UrlCacheFindHandle>{0, 0, 7}));

  items_.clear();
  waits.clear();
  cache_.open_failures.assign(25, kErrorServiceNotActive);
  EXPECT_FALSE(ReadIECache(cache_, items_, &stats, record));
  EXPECT_EQ(stats.open_attempts, kIECacheOpenAttempts);
  EXPECT_EQ(waits.size(), static_cast<std::size_t>(kIECacheOpenAttempts - 1));
  EXPECT_EQ(stats.open_error, kErrorServiceNotActive);

  // Any other failure ends the attempts at once.
  cache_.open_failures = {kErrorFileCorrupt, kErrorServiceNotActive};
  waits.clear();
  EXPECT_FALSE(ReadIECache(cache_, items_, &stats, record));
  EXPECT_EQ(stats.open_attempts, 1);
  EXPECT_TRUE(waits.empty());
}

TEST_F(ReadIECacheTest, AStopCheckEndsTheReadAndTheWaitsForABusyCache) {
  const std::size_t count = 3 * kEntriesPerStopCheck;
  for (std::size_t i = 0; i < count; ++i) {
    UrlCacheEntry e;
    e.source_url_name = "http://a.example/" + std::to_string(i);
    cache_.entries.push_back(std::move(e));  // no cached file: read, then dropped
  }
  std::vector<int> waits;
  const SleepFunction record = [&](int ms) { waits.push_back(ms); };
  struct Row {
    std::size_t busy_openings;  // kErrorServiceNotActive answers first
    int stop_at;                // the question the check answers "stop" to
    std::uint64_t entries;      // read before the stop
    std::size_t waits;
  };
  const Row rows[] = {
      {0, 1, 0, 0},  // asked before the first entry
      {0, 2, kEntriesPerStopCheck, 0},
      {0, 100, count, 0},  // never reached: the whole cache is read
      {25, 3, 0, 2},       // the third wait is not waited
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.stop_at);
    waits.clear();
    cache_.open_failures.assign(row.busy_openings, kErrorServiceNotActive);
    int calls = 0;
    const ReadStopCheck stop = [&] { return ++calls == row.stop_at; };
    IECacheStats stats;
    ReadIECache(cache_, items_, &stats, record, stop);
    EXPECT_EQ(stats.stopped, row.stop_at <= calls);
    EXPECT_EQ(stats.entries, row.entries);
    EXPECT_EQ(waits.size(), row.waits);
    if (row.busy_openings == 0) {
      EXPECT_EQ(cache_.closed.back(), 7u);  // stopped and closed
    }
  }
}

TEST_F(ReadIECacheTest, EntryTooLargeForTheBufferEndsTheReadKeepingEarlierItems) {
  cache_.entries = {Entry("http://a.example/1", ""), Entry("http://a.example/2", ""),
                    Entry("http://a.example/3", "")};
  cache_.fail_next_at = 1;
  IECacheStats stats;
  EXPECT_TRUE(ReadIECache(cache_, items_, &stats));
  EXPECT_EQ(items_.size(), 1u);
  EXPECT_EQ(stats.end_error, kErrorInsufficientBuffer);
  EXPECT_EQ(cache_.closed, std::vector<UrlCacheFindHandle>{7});
}

TEST_F(ReadIECacheTest, TypeFileThatCannotBeReadStillKeepsTheItem) {
  TempDir program;
  program.Write("MIMETYPE.DAT/blocker", "");  // a folder where the type file belongs
  LoadMimeTypes(program.path());
  cache_.entries = {Entry("http://a.example/", "Content-Type: x-new/kind\r\n")};
  ASSERT_TRUE(ReadIECache(cache_, items_));
  EXPECT_EQ(MimeTypeName(items_[0]->MimeIndex), "x-new/kind");
  EXPECT_EQ(cache_.closed, std::vector<UrlCacheFindHandle>{7});
  LoadMimeTypes(program_.path());
}

TEST_F(ReadIECacheTest, TypePositionsPast255AreKeptWhole) {
  // Cut to 8 bits, position 257 would read back as type 1, "text/html".
  while (MimeTypeCount() < 256) LookupMimeType("x-filler/" + std::to_string(MimeTypeCount()));
  cache_.entries = {Entry("http://a.example/", "Content-Type: x-late/one\r\n")};
  ASSERT_TRUE(ReadIECache(cache_, items_));
  EXPECT_EQ(items_[0]->MimeIndex, 257);
  EXPECT_EQ(MimeTypeName(items_[0]->MimeIndex), "x-late/one");
}

TEST_F(ReadIECacheTest, ContentTypeParameterMakesANewTypeKeptInTheTypeFile) {
  cache_.entries = {Entry("http://a.example/",
                          "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n")};
  const int before = MimeTypeCount();
  ASSERT_TRUE(ReadIECache(cache_, items_));
  EXPECT_EQ(items_[0]->MimeIndex, before + 1);
  EXPECT_EQ(MimeTypeName(items_[0]->MimeIndex), "text/html; charset=utf-8");
  EXPECT_EQ(MimeTypeFolder(items_[0]->MimeIndex), "text");
  EXPECT_EQ(items_[0]->Category, kCategoryText);
  const auto file = ReadFileBytes(program_.File("MIMETYPE.DAT"));
  ASSERT_TRUE(file);
  EXPECT_NE(file->find("text/html; charset=utf-8"), std::string::npos);
}

TEST(ContentTypeFromHeaders, FirstHeaderWithOneSpaceLowerCasedToTheLineEnd) {
  EXPECT_EQ(ContentTypeFromHeaders("HTTP/1.1 200 OK\r\nContent-Type: Text/CSS\r\nX: y\r\n\r\n"),
            "text/css");
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type: image/gif\nX: y\n"), "image/gif");
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type: image/gif"), "image/gif");
  // Only the exact spelling with one space counts.
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type:image/gif\r\n"), "text/html");
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type:  image/gif\r\n"), " image/gif");
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type: \r\n"), "text/html");
  EXPECT_EQ(ContentTypeFromHeaders(""), "text/html");
  // Nothing after a NUL is searched (Internet Explorer stores one at the end).
  EXPECT_EQ(ContentTypeFromHeaders(std::string("X: y\r\n\0Content-Type: a/b\r\n", 25)),
            "text/html");
  // The header from its name on is cut at 255 characters.
  const std::string long_type(400, 'z');
  EXPECT_EQ(ContentTypeFromHeaders("Content-Type: " + long_type), std::string(241, 'z'));
}

TEST(FileTimeToDate, TwoSecondStepsWithoutZoneAdjustmentFrom1980On) {
  struct Row {
    std::uint64_t file_time;
    double date;
  };
  const Row rows[] = {
      // Two-second steps, rounded down.
      {FileTime(2015, 8, 25, 11, 5, 37, 137), Date(2015, 8, 25, 11, 5, 36)},
      {FileTime(1980, 1, 1, 0, 0, 0), Date(1980, 1, 1, 0, 0, 0)},
      // Before 1980 no URL cache existed; 0 is 1899-12-30 00:00, "unknown".
      {FileTime(1979, 12, 31, 23, 59, 59), 0.0},
      {0, 0.0},
      // Past the packed form's signed range (2044) and its end (2107) the
      // date is still the stored one.
      {FileTime(2043, 12, 31, 23, 59, 58), Date(2043, 12, 31, 23, 59, 58)},
      {FileTime(2044, 1, 1, 0, 0, 1), Date(2044, 1, 1, 0, 0, 0)},
      {FileTime(2108, 2, 29, 12, 30, 0), Date(2108, 2, 29, 12, 30, 0)},
      {FileTime(9999, 12, 31, 23, 59, 59), Date(9999, 12, 31, 23, 59, 58)},
      {FileTime(10000, 1, 1, 0, 0, 0), 0.0},
      {~std::uint64_t{0}, 0.0},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FileTimeToDate(row.file_time), row.date) << FormatDateTime(row.date);
  }
  EXPECT_EQ(FileTimeToDosDateTime(FileTime(2107, 12, 31, 23, 59, 58)), 0xFF9FBF7Du);
  EXPECT_FALSE(FileTimeToDosDateTime(FileTime(2108, 1, 1, 0, 0, 0)));
  EXPECT_FALSE(FileTimeToDosDateTime(~std::uint64_t{0}));
}

}  // namespace
}  // namespace webhoard
