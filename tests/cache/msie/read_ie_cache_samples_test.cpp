// The reader over real containers: index files written by Internet
// Explorer and by Wine's WinINet, with the cached files the index names
// created by the test (the samples carry only the index).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cache/mime_types.h"
#include "cache/msie/read_ie_cache.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "platform/url_cache.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::SharedTestData;
using testing::TempDir;

double Date(int y, int mo, int d, int h, int mi, int s) {
  return *EncodeDateTime({y, mo, d, h, mi, s, 0});
}

class IECacheSample : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(program_.path()); }

  // Copies the sample into a container and creates every cached file it
  // names except those in `leave_out`; answers how many it created.
  std::size_t Prepare(const std::string& sample, const std::vector<std::string>& leave_out = {}) {
    dir_.Write("index.dat", *ReadFileBytes(SharedTestData(sample)));
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
  const std::size_t files =
      Prepare("msie/plaso-Content.IE5-index.dat", {"https://ieonline.microsoft.com/favicon.ico"});
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
  Prepare("msie/plaso-nfury-index.dat");
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
    Prepare(sample);
    IECacheStats stats;
    EXPECT_FALSE(ReadIECache(dir_.path(), items_, &stats)) << sample;
    EXPECT_GT(stats.entries, 0u) << sample;
    EXPECT_EQ(stats.dropped_no_host, stats.entries) << sample;
  }
}

TEST_F(IECacheSample, WineWrittenContainer) {
  Prepare("msie/wine8-generated/Content.IE5/index.dat");
  ASSERT_TRUE(ReadIECache(dir_.path(), items_));
  ASSERT_EQ(items_.size(), 3u);
  const TCacheItem* root = Find("http://example.com/");
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->URL, "http://example.com:80/");
  EXPECT_EQ(root->MimeIndex, kMimeIndexHtml);
  EXPECT_EQ(root->Category, kCategoryText);
  EXPECT_EQ(root->LocalFile, dir_.path() + "/J1RB860E/NY9OBPVZ.html");
  EXPECT_EQ(root->Date, Date(2026, 12, 8, 14, 25, 48));
  const TCacheItem* logo = Find("http://example.com/img/logo.png");
  ASSERT_NE(logo, nullptr);
  EXPECT_EQ(logo->MimeIndex, LookupMimeType("image/png"));
  EXPECT_EQ(logo->Category, kCategoryMedia);
  const TCacheItem* secure = Find("https://secure.example.org/a/b?q=1");
  ASSERT_NE(secure, nullptr);
  EXPECT_EQ(secure->URL, "http://secure.example.org:80/a/b?q=1");
  EXPECT_EQ(secure->Domain, "secure.example.org");
}

TEST_F(IECacheSample, MissingContainerAnswersFalse) {
  IECacheStats stats;
  EXPECT_FALSE(ReadIECache(dir_.File("nothing-here"), items_, &stats));
  EXPECT_EQ(stats.open_attempts, 1);
  EXPECT_EQ(stats.open_error, kErrorFileNotFound);
}

}  // namespace
}  // namespace webhoard
