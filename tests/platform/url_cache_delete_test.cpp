// Deleting entries: the index stays one WinINet opens, only the named entry
// goes, and a delete that cannot finish leaves everything as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "common/file_util.h"
#include "common/little_endian.h"
#include "platform/index_dat_format.h"
#include "platform/url_cache.h"
#include "support/index_dat_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::BuildIndexDat;
using testing::SyntheticEntry;
using testing::TempDir;

Bytes AsBytes(const std::string& s) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return LoadLE<std::uint32_t>(reinterpret_cast<const std::uint8_t*>(b.data() + at));
}
std::uint64_t U64(const std::string& b, std::size_t at) {
  return LoadLE<std::uint64_t>(reinterpret_cast<const std::uint8_t*>(b.data() + at));
}

std::vector<std::string> Urls(UrlCache& cache) {
  std::vector<std::string> urls;
  UrlCacheEntry entry;
  std::uint32_t size = 8192;
  auto handle = cache.FindFirstUrlCacheEntry(nullptr, entry, size);
  if (handle == 0) return urls;
  do urls.push_back(entry.source_url_name);
  while ((size = 8192, cache.FindNextUrlCacheEntry(handle, entry, size)));
  cache.FindCloseUrlCache(handle);
  return urls;
}

SyntheticEntry Item(std::string url, std::string name, std::uint8_t folder, std::uint64_t size,
                    std::uint32_t type = 1) {
  SyntheticEntry e;
  e.url = std::move(url);
  e.file_name = std::move(name);
  e.folder_index = folder;
  e.size = size;
  e.entry_type = type;
  e.headers = "HTTP/1.1 200 OK\r\n\r\n";
  return e;
}

class UrlCacheDelete : public ::testing::Test {
 protected:
  void SetUp() override {
    index_ = BuildIndexDat({Item("http://a/1.htm", "1.htm", 0, 1000),
                            Item("http://a/2.png", "2.png", 1, 2000),
                            Item("http://a/3.ico", "3.ico", 1, 300, 0x4 | 0x1),
                            Item("Visited: u@http://a/", "", 0xFE, 0)});
    dir_.Write("index.dat", index_.bytes);
    dir_.Write("AAAAAAAA/1.htm", "one");
    dir_.Write("BBBBBBBB/2.png", "two");
    dir_.Write("BBBBBBBB/3.ico", "three");
    cache_ = OpenUrlCache(dir_.path());
  }
  std::string Index() const { return *ReadFileBytes(dir_.File("index.dat")); }

  TempDir dir_;
  testing::SyntheticIndex index_;
  std::unique_ptr<UrlCache> cache_;
};

TEST_F(UrlCacheDelete, RemovesEntryFileAndAccountingAndKeepsTheOpenChecks) {
  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("http://a/2.png")) << cache_->LastErrorText();
  const std::string after = Index();
  EXPECT_EQ(index_dat::CheckOpenInvariants(AsBytes(after)), "");
  EXPECT_FALSE(FileExists(dir_.File("BBBBBBBB/2.png")));
  EXPECT_TRUE(FileExists(dir_.File("BBBBBBBB/3.ico")));
  EXPECT_EQ(Urls(*cache_),
            (std::vector<std::string>{"http://a/1.htm", "http://a/3.ico", "Visited: u@http://a/"}));
  const std::uint32_t record_blocks = U32(index_.bytes, index_.record_offsets[1] + 4);
  EXPECT_EQ(U32(after, 0x28), U32(index_.bytes, 0x28) - record_blocks);
  EXPECT_EQ(U64(after, 0x38), 1000u);  // the sticky 300 is counted apart
  EXPECT_EQ(U64(after, 0x40), 300u);
  EXPECT_EQ(U32(after, 0x4C + 12), 1u);  // folder BBBBBBBB held two files
  // The freed item keeps its stale offset; the record's bytes stay.
  EXPECT_EQ(U32(after, index_.item_offsets[1]), 1u);
  EXPECT_EQ(U32(after, index_.item_offsets[1] + 4), index_.record_offsets[1]);
  EXPECT_EQ(std::memcmp(after.data() + index_.record_offsets[1], "URL ", 4), 0);
  // Nothing else changed.
  std::size_t changed = 0;
  for (std::size_t i = 0; i < after.size(); ++i) changed += after[i] != index_.bytes[i];
  EXPECT_LE(changed, 8u);

  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("http://a/3.ico"));
  EXPECT_EQ(U64(Index(), 0x40), 0u);
  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("Visited: u@http://a/"));
  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_TRUE(Urls(*cache_).empty());
  EXPECT_EQ(U32(Index(), 0x28), 32u);  // only the hash page remains
  EXPECT_EQ(index_dat::CheckOpenInvariants(AsBytes(Index())), "");
}

TEST_F(UrlCacheDelete, UnknownEntryOrMissingFileAndNoStrayTemporaryFiles) {
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/none"));
  EXPECT_EQ(cache_->LastError(), kErrorFileNotFound);
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("HTTP://A/1.HTM"));  // names match exactly
  EXPECT_EQ(Index(), index_.bytes);
  ::unlink(dir_.File("AAAAAAAA/1.htm").c_str());
  EXPECT_TRUE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_FALSE(FileExists(dir_.File("index.dat.webhoard-tmp")));
  EXPECT_FALSE(FileExists(dir_.File("AAAAAAAA/1.htm.webhoard-deleting")));
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
}

TEST_F(UrlCacheDelete, RefusesWhileAnotherProgramHoldsTheIndex) {
  const int fd = ::open(dir_.File("index.dat").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_EQ(cache_->LastError(), kErrorSharingViolation);
  EXPECT_TRUE(FileExists(dir_.File("AAAAAAAA/1.htm")));
  ::close(fd);
  EXPECT_EQ(Index(), index_.bytes);
}

TEST_F(UrlCacheDelete, RefusesAnIndexWinInetWouldRejectAndLeavesItAlone) {
  std::string broken = index_.bytes;
  broken[0x28] = static_cast<char>(broken[0x28] + 1);  // blocks in use no longer match the bitmap
  dir_.Write("index.dat", broken);
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_EQ(cache_->LastError(), kErrorFileCorrupt);
  EXPECT_EQ(Index(), broken);
  EXPECT_TRUE(FileExists(dir_.File("AAAAAAAA/1.htm")));
}

TEST_F(UrlCacheDelete, FailedSaveRestoresTheCachedFile) {
  // A folder where the temporary index would go makes the save fail.
  dir_.Write("index.dat.webhoard-tmp/blocker", "");
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_EQ(cache_->LastError(), kErrorWriteFault);
  EXPECT_TRUE(FileExists(dir_.File("AAAAAAAA/1.htm")));
  EXPECT_EQ(Index(), index_.bytes);
}

TEST_F(UrlCacheDelete, FileThatCannotBeRemovedKeepsTheEntry) {
  // A non-empty folder in the way of moving the cached file aside.
  dir_.Write("AAAAAAAA/1.htm.webhoard-deleting/blocker", "");
  EXPECT_FALSE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  EXPECT_EQ(cache_->LastError(), kErrorAccessDenied);
  EXPECT_TRUE(FileExists(dir_.File("AAAAAAAA/1.htm")));
  EXPECT_EQ(Index(), index_.bytes);
}

TEST_F(UrlCacheDelete, StaleItemToAFreedRecordChangesNoCounters) {
  // Two items naming one record: both are freed; a record whose blocks were
  // already freed takes nothing off the counters a second time.
  std::string twice = index_.bytes;
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(twice.data() + 0x4000 + 0x10 + 447 * 8),
                         0x1000u);
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(twice.data() + 0x4000 + 0x14 + 447 * 8),
                         index_.record_offsets[0]);
  dir_.Write("index.dat", twice);
  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  std::string after = Index();
  EXPECT_EQ(U32(after, 0x4000 + 0x10 + 447 * 8), 1u);
  EXPECT_EQ(Urls(*cache_).size(), 3u);

  // Re-point a fresh item at the freed record and delete again.
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(after.data() + 0x4000 + 0x10 + 446 * 8),
                         0x2000u);
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(after.data() + 0x4000 + 0x14 + 446 * 8),
                         index_.record_offsets[0]);
  dir_.Write("index.dat", after);
  ASSERT_TRUE(cache_->DeleteUrlCacheEntry("http://a/1.htm"));
  const std::string again = Index();
  EXPECT_EQ(U32(again, 0x28), U32(after, 0x28));
  EXPECT_EQ(U64(again, 0x38), U64(after, 0x38));
  EXPECT_EQ(U32(again, 0x4C), U32(after, 0x4C));
  EXPECT_EQ(index_dat::CheckOpenInvariants(AsBytes(again)), "");
}

TEST(UrlCacheDeleteWineContainer, RemovesOnlyTheEntryAndItsFileAndKeepsTheOpenChecks) {
  // Containers WinINet wrote itself (tests/data/wine-containers): one with
  // freed blocks from an earlier delete, one with a record on the leak list.
  struct Case {
    const char* container;
    const char* url;
    std::size_t remaining;
  };
  const Case cases[] = {
      {"wine-containers/content", "http://images.example.net/logo.gif", 4},
      {"wine-containers/content", "https://secure.example.org/account/settings?tab=privacy", 4},
      {"wine-containers/leak", "http://www.example.com/", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.container) + " " + c.url);
    TempDir dir;
    std::filesystem::copy(testing::TestData(c.container), dir.path(),
                          std::filesystem::copy_options::recursive);
    std::vector<std::string> files;  // every cached file, the index aside
    for (const auto& f : std::filesystem::recursive_directory_iterator(dir.path())) {
      if (f.is_regular_file() && f.path().filename() != "index.dat") files.push_back(f.path());
    }
    auto cache = OpenUrlCache(dir.path());
    std::string deleted_file;
    UrlCacheEntry entry;
    std::uint32_t size = 8192;
    auto handle = cache->FindFirstUrlCacheEntry(nullptr, entry, size);
    ASSERT_NE(handle, 0u);
    do {
      if (entry.source_url_name == c.url) deleted_file = entry.local_file_name;
    } while ((size = 8192, cache->FindNextUrlCacheEntry(handle, entry, size)));
    cache->FindCloseUrlCache(handle);
    ASSERT_TRUE(FileExists(deleted_file)) << deleted_file;

    ASSERT_TRUE(cache->DeleteUrlCacheEntry(c.url)) << cache->LastErrorText();
    EXPECT_EQ(index_dat::CheckOpenInvariants(AsBytes(*ReadFileBytes(dir.File("index.dat")))), "");
    const auto urls = Urls(*cache);
    EXPECT_EQ(urls.size(), c.remaining);
    EXPECT_EQ(std::find(urls.begin(), urls.end(), c.url), urls.end());
    for (const std::string& file : files) {
      EXPECT_EQ(FileExists(file), file != deleted_file) << file;
    }
  }
}

}  // namespace
}  // namespace webhoard
