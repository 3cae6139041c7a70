// Enumerating a container through the URL cache: what an entry carries, the
// buffer-size contract and the errors a reader reacts to.
#include "platform/url_cache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <tuple>
#include <vector>

#include "common/file_util.h"
#include "platform/index_dat_format.h"
#include "support/environment.h"
#include "support/index_dat_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::BuildIndexDat;
using testing::SyntheticEntry;
using testing::TempDir;

std::vector<UrlCacheEntry> EnumerateAll(UrlCache& cache, const char* pattern = nullptr) {
  std::vector<UrlCacheEntry> entries;
  UrlCacheEntry entry;
  std::uint32_t size = 8192;
  const UrlCacheFindHandle handle = cache.FindFirstUrlCacheEntry(pattern, entry, size);
  if (handle == 0) return entries;
  do {
    entries.push_back(entry);
    size = 8192;
  } while (cache.FindNextUrlCacheEntry(handle, entry, size));
  EXPECT_EQ(cache.LastError(), kErrorNoMoreItems);
  EXPECT_TRUE(cache.FindCloseUrlCache(handle));
  return entries;
}

SyntheticEntry Page(std::string url, std::string name, std::uint8_t folder) {
  SyntheticEntry e;
  e.url = std::move(url);
  e.file_name = std::move(name);
  e.folder_index = folder;
  e.headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
  e.size = 100;
  e.last_access = 130849743371370000ull;  // 2015-08-25 11:05:37.137 UTC
  e.last_modified = 130266184860000000ull;
  e.last_sync_dos = (((11u << 11) | (5u << 5) | 18u) << 16) | ((35u << 9) | (8u << 5) | 25u);
  return e;
}

TEST(UrlCacheEnumeration, EntriesCarryTheirFieldsAndFullLocalPath) {
  TempDir dir;
  auto index = BuildIndexDat({Page("http://a.example/x.html", "x[1].html", 1),
                              Page("Visited: me@http://a.example/", "", 0xFE)});
  dir.Write("index.dat", index.bytes);
  auto cache = OpenUrlCache(dir.path());
  const auto entries = EnumerateAll(*cache);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].source_url_name, "http://a.example/x.html");
  EXPECT_EQ(entries[0].local_file_name, dir.path() + "/BBBBBBBB/x[1].html");
  EXPECT_EQ(entries[0].header_info, "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
  EXPECT_EQ(entries[0].last_access_time, 130849743371370000ull);
  EXPECT_EQ(entries[0].last_modified_time, 130266184860000000ull);
  // 2015-08-25 11:05:36 UTC, the DOS time's two-second resolution.
  EXPECT_EQ(entries[0].last_sync_time, 130849743360000000ull);
  EXPECT_EQ(entries[0].size, 100u);
  EXPECT_EQ(entries[1].local_file_name, "");
}

TEST(UrlCacheEnumeration, PatternSelectsByPrefixAndStarDotStarListsAll) {
  TempDir dir;
  dir.Write("index.dat",
            BuildIndexDat({Page("http://a/", "a.htm", 0), Page("Visited: u@http://a/", "", 0xFE),
                           Page("Cookie:u@a/", "", 0xFE)})
                .bytes);
  auto cache = OpenUrlCache(dir.path());
  EXPECT_EQ(EnumerateAll(*cache, "*.*").size(), 3u);
  EXPECT_EQ(EnumerateAll(*cache, "").size(), 3u);
  const auto visited = EnumerateAll(*cache, "visited:");
  ASSERT_EQ(visited.size(), 1u);
  EXPECT_EQ(visited[0].source_url_name, "Visited: u@http://a/");
}

TEST(UrlCacheEnumeration, EntryLargerThanTheBufferFailsWithoutBeingConsumed) {
  TempDir dir;
  SyntheticEntry big = Page("http://big/", "b.htm", 2);
  big.headers = std::string(9000, 'h');
  dir.Write("index.dat", BuildIndexDat({Page("http://small/", "s.htm", 0), big,
                                        Page("http://after/", "c.htm", 0)})
                             .bytes);
  auto cache = OpenUrlCache(dir.path());
  UrlCacheEntry entry;
  std::uint32_t size = 8192;
  const auto handle = cache->FindFirstUrlCacheEntry("*.*", entry, size);
  ASSERT_NE(handle, 0u);
  size = 8192;
  EXPECT_FALSE(cache->FindNextUrlCacheEntry(handle, entry, size));
  EXPECT_EQ(cache->LastError(), kErrorInsufficientBuffer);
  EXPECT_GT(size, 9000u);
  EXPECT_EQ(entry.source_url_name, "http://small/");  // untouched
  // The same entry is offered again to a caller with room for it.
  EXPECT_TRUE(cache->FindNextUrlCacheEntry(handle, entry, size));
  EXPECT_EQ(entry.source_url_name, "http://big/");
  size = 8192;
  EXPECT_TRUE(cache->FindNextUrlCacheEntry(handle, entry, size));
  EXPECT_EQ(entry.source_url_name, "http://after/");
  EXPECT_TRUE(cache->FindCloseUrlCache(handle));
  EXPECT_FALSE(cache->FindNextUrlCacheEntry(handle, entry, size));
  EXPECT_EQ(cache->LastError(), kErrorInvalidHandle);
}

TEST(UrlCacheEnumeration, FirstEntryTooLargeFailsTheOpening) {
  TempDir dir;
  SyntheticEntry big = Page("http://big/", "b.htm", 2);
  big.headers = std::string(9000, 'h');
  dir.Write("index.dat", BuildIndexDat({big}).bytes);
  auto cache = OpenUrlCache(dir.path());
  UrlCacheEntry entry;
  std::uint32_t size = 8192;
  EXPECT_EQ(cache->FindFirstUrlCacheEntry("*.*", entry, size), 0u);
  EXPECT_EQ(cache->LastError(), kErrorInsufficientBuffer);
}

TEST(UrlCacheEnumeration, EmptyMissingDamagedAndBusyContainers) {
  TempDir dir;
  auto cache = OpenUrlCache(dir.path());
  UrlCacheEntry entry;
  std::uint32_t size = 8192;
  EXPECT_EQ(cache->FindFirstUrlCacheEntry(nullptr, entry, size), 0u);
  EXPECT_EQ(cache->LastError(), kErrorFileNotFound);

  dir.Write("index.dat", BuildIndexDat({}).bytes);
  EXPECT_EQ(cache->FindFirstUrlCacheEntry(nullptr, entry, size), 0u);
  EXPECT_EQ(cache->LastError(), kErrorNoMoreItems);

  dir.Write("index.dat", "Client UrlCache MMF Ver 5.2");
  EXPECT_EQ(cache->FindFirstUrlCacheEntry(nullptr, entry, size), 0u);
  EXPECT_EQ(cache->LastError(), kErrorFileCorrupt);
  EXPECT_NE(cache->LastErrorText().find("index.dat"), std::string::npos);

  // While another program holds the index for writing, the cache answers
  // "not active", which readers take as "try again shortly".
  dir.Write("index.dat", BuildIndexDat({Page("http://a/", "a.htm", 0)}).bytes);
  const int fd = ::open(dir.File("index.dat").c_str(), O_RDWR);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_EQ(cache->FindFirstUrlCacheEntry(nullptr, entry, size), 0u);
  EXPECT_EQ(cache->LastError(), kErrorServiceNotActive);
  ::close(fd);
  EXPECT_NE(cache->FindFirstUrlCacheEntry(nullptr, entry, size), 0u);
}

TEST(UrlCacheEnumeration, WineSignatureIsReadLikeInternetExplorers) {
  TempDir dir;
  dir.Write("index.dat", BuildIndexDat({Page("http://w/", "w.htm", 3)}, true).bytes);
  auto cache = OpenUrlCache(dir.path());
  const auto entries = EnumerateAll(*cache);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].local_file_name, dir.path() + "/DDDDDDDD/w.htm");
}

// FILETIME of a UTC calendar time.
std::uint64_t Utc(int y, unsigned mo, unsigned d, unsigned h, unsigned mi) {
  using namespace std::chrono;
  const auto since_1970 = sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi};
  const auto seconds_since_1970 = duration_cast<seconds>(since_1970.time_since_epoch()).count();
  return static_cast<std::uint64_t>(seconds_since_1970 + 11644473600) * 10000000u;
}

TEST(UrlCacheEnumeration, WineWrittenContainersListWhatWinInetCommitted) {
  // tests/interop/wine_write_container.c committed these; it deleted a sixth
  // entry, and in the second container deleted the image while its file was
  // open, which leaves a LEAK record. Neither may be listed.
  const std::string plain = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n";
  struct Expected {
    const char* url;
    std::string headers;
    int modified_year;  // on June 15th, 12:30 UTC
    const char* extension;
  };
  const std::vector<Expected> content = {
      {"http://www.example.com/",
       "HTTP/1.1 200 OK\r\nDate: Sun, 15 Jun 2003 12:30:00 GMT\r\nServer: Apache/1.3.27\r\n"
       "Last-Modified: Sun, 15 Jun 2003 12:30:00 GMT\r\nContent-Type: text/html\r\n"
       "Content-Length: 172\r\n\r\n",
       2003, "html"},
      {"http://www.example.com/news/today.html",
       "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=iso-8859-1\r\n\r\n", 2004, "html"},
      {"http://images.example.net/logo.gif",
       "HTTP/1.1 200 OK\r\nContent-Type: image/gif\r\nContent-Length: 43\r\n\r\n", 2005, "gif"},
      {"https://secure.example.org/account/settings?tab=privacy", plain, 2006, "htm"},
  };
  const std::vector<Expected> leak = {{"http://www.example.com/", plain, 2003, "html"}};
  for (const auto& [container, expected, listed] :
       {std::tuple{"wine-containers/content", content, 5u},
        std::tuple{"wine-containers/leak", leak, 1u}}) {
    SCOPED_TRACE(container);
    TempDir dir;  // a copy: the committed container stays as Wine wrote it
    std::filesystem::copy(testing::TestData(container), dir.path(),
                          std::filesystem::copy_options::recursive);
    const std::string& folder = dir.path();
    auto cache = OpenUrlCache(folder);
    const auto entries = EnumerateAll(*cache);
    ASSERT_EQ(entries.size(), listed);
    for (const Expected& e : expected) {
      SCOPED_TRACE(e.url);
      const auto entry = std::find_if(entries.begin(), entries.end(),
                                      [&](const auto& x) { return x.source_url_name == e.url; });
      ASSERT_NE(entry, entries.end());
      EXPECT_EQ(entry->header_info, e.headers);
      EXPECT_EQ(entry->file_extension, e.extension);
      EXPECT_EQ(entry->cache_entry_type & kNormalCacheEntry, kNormalCacheEntry);
      EXPECT_EQ(entry->last_modified_time, Utc(e.modified_year, 6, 15, 12, 30));
      EXPECT_EQ(entry->expire_time, Utc(2030, 1, 1, 0, 0));
      EXPECT_EQ(entry->last_access_time, Utc(2009, 3, 1, 10, 0));
      EXPECT_EQ(entry->last_sync_time, Utc(2009, 3, 1, 10, 0));
      // The size is the cached file's, and the file is where the entry says.
      ASSERT_EQ(entry->local_file_name.rfind(folder + "/", 0), 0u) << entry->local_file_name;
      const auto body = ReadFileBytes(entry->local_file_name);
      ASSERT_TRUE(body) << entry->local_file_name;
      EXPECT_EQ(entry->size, body->size());
    }
    for (const auto& entry : entries) {
      EXPECT_EQ(entry.source_url_name.find("gone.html"), std::string::npos);
    }
  }
}

TEST(UrlCacheEnumeration, NamesThatWouldLeaveTheContainerGiveNoLocalFile) {
  TempDir dir;
  auto index =
      BuildIndexDat({Page("http://a/1", "../../etc/passwd", 0), Page("http://a/2", "..", 1),
                     Page("http://a/3", "ok.htm", 9), Page("http://a/4", "x\\y", 2),
                     Page("http://a/5", "index.dat", 0xFE)});
  // A folder slot whose name is not the 8 letters and digits WinINet uses.
  std::memcpy(index.bytes.data() + 0x4C + 4, "../..///", 8);
  dir.Write("index.dat", index.bytes);
  auto cache = OpenUrlCache(dir.path());
  for (const auto& entry : EnumerateAll(*cache)) {
    EXPECT_EQ(entry.local_file_name, "") << entry.source_url_name;
  }
}

TEST(UrlCacheLocation, DefaultContainerFollowsWinePrefixAndLayouts) {
  TempDir dir;
  testing::SetEnvironment("WINEPREFIX", dir.path().c_str());
  testing::SetEnvironment("USER", "tester");
  const std::string users = dir.path() + "/drive_c/users/tester/";
  EXPECT_EQ(DefaultUrlCacheContainer(),
            users + "AppData/Local/Microsoft/Windows/INetCache/Content.IE5");
  dir.Write(
      "drive_c/users/tester/AppData/Local/Microsoft/Windows/Temporary Internet "
      "Files/Content.IE5/index.dat",
      "x");
  EXPECT_EQ(DefaultUrlCacheContainer(),
            users + "AppData/Local/Microsoft/Windows/Temporary Internet Files/Content.IE5");
  dir.Write("drive_c/users/tester/AppData/Local/Microsoft/Windows/INetCache/Content.IE5/index.dat",
            "x");
  EXPECT_EQ(DefaultUrlCacheContainer(),
            users + "AppData/Local/Microsoft/Windows/INetCache/Content.IE5");
  testing::SetEnvironment("WINEPREFIX", nullptr);
  testing::SetEnvironment("HOME", dir.path().c_str());
  EXPECT_EQ(DefaultUrlCacheContainer(),
            dir.path() +
                "/.wine/drive_c/users/tester/AppData/Local/Microsoft/Windows/INetCache/"
                "Content.IE5");
}

TEST(UrlCacheDates, DosDateTimesBecomeUtcFileTimes) {
  using index_dat::DosDateTimeToFileTime;
  // 1980-01-01 00:00:00, the first DOS date.
  EXPECT_EQ(DosDateTimeToFileTime(0x00000021u), 119600064000000000ull);
  // 2000-02-29 23:59:58 exists; 2001-02-29 does not; month 13 does not.
  const std::uint32_t leap_day = (20u << 9) | (2u << 5) | 29u;
  const std::uint32_t late = (23u << 11) | (59u << 5) | 29u;
  EXPECT_EQ(DosDateTimeToFileTime((late << 16) | leap_day), 125963423980000000ull);
  EXPECT_EQ(DosDateTimeToFileTime((21u << 9) | (2u << 5) | 29u), 0u);
  EXPECT_EQ(DosDateTimeToFileTime((20u << 9) | (13u << 5) | 1u), 0u);
  EXPECT_EQ(DosDateTimeToFileTime(0), 0u);
}

}  // namespace
}  // namespace webhoard
