#include "cache/firefox/cache2_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cache/firefox/cache2_entry.h"
#include "common/file_util.h"
#include "support/firefox_cache_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::Cache2EntryBytes;
using testing::Cache2EntryName;
using testing::Cache2Page;

constexpr const char* kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";

std::uint64_t Skipped(const StoredResponses& read, SkipReason reason) {
  return read.skipped[static_cast<std::size_t>(reason)];
}

// plaso's loose cache2 files: two pages (metadata version 1), two predictor
// entries (version 3), and a file that is no entry at all.
TEST(FirefoxCacheSample, PlasoEntries) {
  const std::string cache2 = testing::SharedSample("firefox-plaso/cache2");
  if (cache2.empty()) return;
  const StoredResponses read = ReadFirefoxCache(cache2);
  EXPECT_EQ(read.entries, 5u);
  EXPECT_EQ(Skipped(read, SkipReason::kNotWeb), 2u);       // predictor
  EXPECT_EQ(Skipped(read, SkipReason::kNotFinished), 1u);  // trailer past the end
  EXPECT_TRUE(read.notes.empty());
  ASSERT_EQ(read.responses.size(), 2u);

  const StoredResponse& counts = read.responses[0];
  EXPECT_EQ(counts.url, "https://github.com/log2timeline/plaso/issues/counts");
  EXPECT_EQ(counts.content_type, "application/json");
  EXPECT_EQ(counts.body.content_encoding, "gzip");
  EXPECT_EQ(counts.body.length, 80u);
  EXPECT_EQ(counts.time, 1430581478);  // 2015-05-02 15:44:38 UTC

  const StoredResponse& tile = read.responses[1];
  EXPECT_EQ(
      tile.url,
      "https://tiles.cdn.mozilla.net/images/8acf9436e1b315f5f04b9435a518bcd1aef131f8.5663.png");
  EXPECT_EQ(tile.content_type, "image/png");
  EXPECT_EQ(tile.body.content_encoding, "");
  EXPECT_EQ(tile.body.length, 5663u);
  EXPECT_EQ(tile.time, 1430580931);  // 2015-05-02 15:35:31 UTC
  const std::string png = ReadFileBytes(tile.body.file).value_or("");
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  EXPECT_EQ(png.substr(5663 - 8, 8), std::string("IEND\xae\x42\x60\x82"));

  const std::string other = testing::SharedSample("firefox-plaso/invalid_file");
  EXPECT_FALSE(ReadCache2Entry(other).response.has_value());
  const StoredResponses old = ReadFirefoxCache(testing::SharedSample("firefox-plaso/firefox3"));
  EXPECT_EQ(old.entries, 0u);
  ASSERT_EQ(old.notes.size(), 1u);
  EXPECT_NE(old.notes[0].find("not supported"), std::string::npos);
}

TEST(FirefoxCache, ReadsTheEntriesFolderAndNothingElse) {
  const testing::TempDir dir;
  const auto page = [](const std::string& url) {
    return Cache2EntryBytes(Cache2Page(url, kOk, "body"));
  };
  dir.Write("cache2/entries/" + Cache2EntryName("b"), page("http://example.org/b"));
  dir.Write("cache2/entries/" + Cache2EntryName("a"), page("http://example.org/a"));
  testing::Cache2EntryFixture encrypted = Cache2Page("http://example.org/e", kOk, "x");
  encrypted.encrypted = true;
  dir.Write("cache2/entries/" + Cache2EntryName("e"), Cache2EntryBytes(encrypted));
  // Not entries: the index, its journal, an eviction marker, doomed entries,
  // a name of another length.
  dir.Write("cache2/index", std::string(100, '\0'));
  dir.Write("cache2/index.log", "");
  dir.Write("cache2/ce_T151c2VyQ29udGV4dElkPTUs", "");
  dir.Write("cache2/doomed/1", page("http://example.org/doomed"));
  dir.Write("cache2/entries/" + Cache2EntryName("c") + ".tmp", page("http://example.org/c"));
#ifndef _WIN32
  std::filesystem::create_symlink(dir.File("cache2/entries/" + Cache2EntryName("a")),
                                  dir.File("cache2/entries/" + Cache2EntryName("link")));
#endif

  for (const std::string& folder : {dir.File("cache2"), dir.File("cache2/entries")}) {
    SCOPED_TRACE(folder);
    const StoredResponses read = ReadFirefoxCache(folder);
    ASSERT_EQ(read.responses.size(), 2u);
    EXPECT_EQ(read.responses[0].body.file,
              JoinPath(dir.File("cache2/entries"), Cache2EntryName("a")));
    EXPECT_EQ(read.responses[0].url, "http://example.org/a");
    EXPECT_EQ(read.responses[1].url, "http://example.org/b");
#ifndef _WIN32
    EXPECT_EQ(read.entries, 4u);
    EXPECT_EQ(Skipped(read, SkipReason::kDamaged), 2u);  // the link, the encrypted entry
#endif
    ASSERT_EQ(read.notes.size(), 1u);
    EXPECT_EQ(read.notes[0], "1 encrypted entries cannot be read without the browser's key");
  }

  int asked = 0;
  const StoredResponses stopped = ReadFirefoxCache(dir.File("cache2"), [&] { return ++asked > 0; });
  EXPECT_EQ(stopped.entries, 0u);
  EXPECT_EQ(stopped.notes.size(), 1u);
  const StoredResponses missing = ReadFirefoxCache(dir.File("nothing"));
  EXPECT_EQ(missing.entries, 0u);
  EXPECT_EQ(missing.notes.size(), 1u);
}

// A new file each time: rewriting one in place makes some file systems put
// it on disk at once, which costs seconds over thousands of writes.
Cache2EntryRead ReadFresh(const testing::TempDir& dir, const std::string& bytes) {
  static int count = 0;
  const std::string path = dir.Write(Cache2EntryName(std::to_string(++count)), bytes);
  const Cache2EntryRead read = ReadCache2Entry(path);
  std::filesystem::remove(path);
  return read;
}

// Cut and flipped entry files (the browser writing, a bad disk) are skipped:
// never a crash, never a read outside the file, never a body past its end.
TEST(FirefoxCache, DamagedEntriesAreSkippedSafely) {
  const testing::TempDir dir;
  for (const std::uint32_t version : {1u, 4u}) {
    testing::Cache2EntryFixture fixture = Cache2Page("http://example.org/app.js", kOk, "source+bc");
    fixture.version = version;
    fixture.elements.emplace_back("alt-data", "1;6,javascript/moz-script-bytecode");
    const std::string whole = Cache2EntryBytes(fixture);
    ASSERT_TRUE(ReadFresh(dir, whole).response.has_value());
    const std::size_t metadata_at = fixture.data.size();
    for (std::size_t length = 0; length < whole.size(); ++length) {
      EXPECT_FALSE(ReadFresh(dir, whole.substr(0, length)).response.has_value())
          << "version " << version << " cut at " << length;
    }
    for (std::size_t at = 0; at < whole.size(); ++at) {
      for (const char flip : {'\x01', '\xFF'}) {
        std::string bytes = whole;
        bytes[at] = static_cast<char>(bytes[at] ^ flip);
        const Cache2EntryRead read = ReadFresh(dir, bytes);
        if (at >= metadata_at) {
          EXPECT_FALSE(read.response.has_value()) << "version " << version << " flip at " << at;
        } else if (read.response) {
          EXPECT_LE(read.response->body.length, metadata_at);
        }
      }
    }
  }
}

}  // namespace
}  // namespace webhoard
