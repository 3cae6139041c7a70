// The reader over real containers: index files written by Internet
// Explorer, with the cached files the index names created by the test (the
// samples carry only the index), and whole containers written by Wine's
// WinINet (tests/data/wine-containers).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "cache/mime_types.h"
#include "cache/msie/read_ie_cache.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "platform/url_cache.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::SharedSample;
using testing::TempDir;
using testing::TestData;

double Date(int y, int mo, int d, int h, int mi, int s) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

class IECacheSample : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(program_.path()); }

  // Copies the index file into a container and creates every cached file it
  // names except those in `leave_out`; answers how many it created.
  std::size_t Prepare(const std::string& index, const std::vector<std::string>& leave_out = {}) {
    const auto bytes = ReadFileBytes(index);
    EXPECT_TRUE(bytes) << index;
    if (!bytes) return 0;
    dir_.Write("index.dat", *bytes);
    auto cache = OpenUrlCache(dir_.path());
    UrlCacheEntry entry;
    std::uint32_t size = 8192;
    std::size_t created = 0;
    auto handle = cache->FindFirstUrlCacheEntry(nullptr, entry, size);
    if (handle == 0) return 0;
    do {
      if (entry.local_file_name.empty()) continue;
      if (std::find(leave_out.begin(), leave_out.end(), entry.source_url_name) != leave_out.end()) {
        continue;
      }
      std::filesystem::create_directories(
          std::filesystem::path(entry.local_file_name).parent_path());
      if (!FileExists(entry.local_file_name)) {
        EXPECT_TRUE(WriteFileAtomically(entry.local_file_name, "cached"));
        ++created;
      }
    } while ((size = 8192, cache->FindNextUrlCacheEntry(handle, entry, size)));
    cache->FindCloseUrlCache(handle);
    return created;
  }

  const TCacheItem* Find(const std::string& key) const {
    for (const auto& item : items_) {
      if (item->CacheKey == key) return item.get();
    }
    return nullptr;
  }

  TempDir program_;
  TempDir dir_;
  TCacheItemList items_;
};

TEST_F(IECacheSample, InternetExplorerContentContainer) {
  const std::string index = SharedSample("msie/plaso-Content.IE5-index.dat");
  if (index.empty()) return;
  const std::size_t files = Prepare(index, {"https://ieonline.microsoft.com/favicon.ico"});
  IECacheStats stats;
  ASSERT_TRUE(ReadIECache(dir_.path(), items_, &stats));
  EXPECT_EQ(stats.entries, 21u);
  EXPECT_EQ(stats.dropped_no_file, 21u - files);
  EXPECT_EQ(items_.size(), stats.items_added);
  EXPECT_EQ(Find("https://ieonline.microsoft.com/favicon.ico"), nullptr);

  const TCacheItem* bing = Find("http://www.bing.com/favicon.ico");
  ASSERT_NE(bing, nullptr);
  EXPECT_EQ(bing->URL, "http://www.bing.com:80/favicon.ico");
  EXPECT_EQ(bing->Domain, "www.bing.com");
  EXPECT_EQ(bing->MimeIndex, LookupMimeType("image/x-icon"));
  EXPECT_EQ(bing->Category, kCategoryMedia);
  // Last access 11:05:37.137 and last sync 11:05:36 both pack to 11:05:36.
  EXPECT_EQ(bing->Date, Date(2015, 8, 25, 11, 5, 36));
  EXPECT_EQ(bing->LocalFile, dir_.path() + "/5F9C7HL9/favicon[1].ico");
  for (const auto& item : items_) {
    EXPECT_EQ(item->URL.rfind("http://", 0), 0u) << item->URL;
    EXPECT_TRUE(FileExists(item->LocalFile)) << item->LocalFile;
    EXPECT_GT(item->Date, Date(2015, 1, 1, 0, 0, 0)) << item->URL;
    EXPECT_NE(item->MimeIndex, 0) << item->URL;
  }
}

TEST_F(IECacheSample, LargeContainerWithCharsetTypesAndTrailingSlashUrls) {
  const std::string index = SharedSample("msie/plaso-nfury-index.dat");
  if (index.empty()) return;
  Prepare(index);
  IECacheStats stats;
  ASSERT_TRUE(ReadIECache(dir_.path(), items_, &stats));
  EXPECT_EQ(stats.entries, 984u);
  EXPECT_EQ(stats.end_error, kErrorNoMoreItems);
  std::map<std::string, int> by_type;
  for (const auto& item : items_) ++by_type[MimeTypeName(item->MimeIndex)];
  EXPECT_EQ(by_type["text/html; charset=utf-8"], 157) << "types with a parameter stay whole";
  EXPECT_GT(MimeTypeCount(), kBuiltInMimeTypeCount);
  for (const auto& item : items_) EXPECT_NE(item->Domain, "NONE");
}

TEST_F(IECacheSample, HistoryContainersYieldNoItems) {
  for (const char* sample :
       {"msie/plaso-History.IE5-index.dat", "msie/plaso-MSHist012013031020130311-index.dat",
        "msie/grr-History-index.dat"}) {
    const std::string index = SharedSample(sample);
    if (index.empty()) return;
    Prepare(index);
    IECacheStats stats;
    EXPECT_FALSE(ReadIECache(dir_.path(), items_, &stats)) << sample;
    EXPECT_GT(stats.entries, 0u) << sample;
    EXPECT_EQ(stats.dropped_no_host, stats.entries) << sample;
  }
}

TEST_F(IECacheSample, WineWrittenContainer) {
  // The whole container, cached files included; the entry Wine deleted
  // before (http://old.example.com/gone.html) lies in freed blocks.
  std::filesystem::copy(TestData("wine-containers/content"), dir_.path(),
                        std::filesystem::copy_options::recursive);
  IECacheStats stats;
  ASSERT_TRUE(ReadIECache(dir_.path(), items_, &stats));
  EXPECT_EQ(stats.entries, 5u);
  ASSERT_EQ(items_.size(), 5u);
  struct Expected {
    const char* key;
    const char* url;
    const char* domain;
    const char* mime_type;
    int category;
    const char* body_start;  // of the cached file the item names
  };
  const Expected expected[] = {
      {"http://www.example.com/", "http://www.example.com:80/", "www.example.com", "text/html",
       kCategoryText, "<html><head><title>Example home"},
      {"http://www.example.com/news/today.html", "http://www.example.com:80/news/today.html",
       "www.example.com", "text/html; charset=iso-8859-1", kCategoryText,
       "<html><head><title>Today's news"},
      {"http://images.example.net/logo.gif", "http://images.example.net:80/logo.gif",
       "images.example.net", "image/gif", kCategoryMedia, "GIF89a"},
      {"https://secure.example.org/account/settings?tab=privacy",
       "https://secure.example.org:443/account/settings?tab=privacy", "secure.example.org",
       "text/html", kCategoryText, "<html>secure"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.key);
    const TCacheItem* item = Find(e.key);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->URL, e.url);
    EXPECT_EQ(item->Domain, e.domain);
    EXPECT_EQ(MimeTypeName(item->MimeIndex), e.mime_type);
    EXPECT_EQ(item->Category, e.category);
    // The writer set last access and last sync to 2009-03-01 10:00 UTC.
    EXPECT_EQ(item->Date, Date(2009, 3, 1, 10, 0, 0));
    EXPECT_EQ(item->LocalFile.rfind(dir_.path() + "/", 0), 0u) << item->LocalFile;
    const auto body = ReadFileBytes(item->LocalFile);
    ASSERT_TRUE(body) << item->LocalFile;
    EXPECT_EQ(body->rfind(e.body_start, 0), 0u);
  }
  // The long address (several blocks) is kept whole.
  const auto long_url = std::find_if(items_.begin(), items_.end(), [](const auto& item) {
    return item->CacheKey && item->CacheKey->size() > 300;
  });
  ASSERT_NE(long_url, items_.end());
  EXPECT_EQ((*long_url)->URL.rfind("http://www.example.com:80/archive/2003/06/15/", 0), 0u);
  EXPECT_NE((*long_url)->URL.find("&padding=xxxx"), std::string::npos);
  EXPECT_EQ(Find("http://old.example.com/gone.html"), nullptr);
}

TEST_F(IECacheSample, MissingContainerAnswersFalse) {
  IECacheStats stats;
  EXPECT_FALSE(ReadIECache(dir_.File("nothing-here"), items_, &stats));
  EXPECT_EQ(stats.open_attempts, 1);
  EXPECT_EQ(stats.open_error, kErrorFileNotFound);
}

}  // namespace
}  // namespace webhoard
