#include "cache/chromium/simple_cache_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "support/simple_cache_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::SimpleEntrySpec;

SimpleEntrySpec Entry(std::string key, std::string head, std::string body) {
  SimpleEntrySpec spec;
  spec.key = std::move(key);
  spec.info.head = std::move(head);
  spec.body = std::move(body);
  return spec;
}

std::string Key(std::string_view path) {
  return "1/0/_dk_http://127.0.0.1 http://127.0.0.1 http://127.0.0.1:8765" + std::string(path);
}

constexpr const char* kOk = "HTTP/1.1 200 OK\nContent-Type: text/html; charset=utf-8";

TEST(SimpleCacheReader, KeepsCompleteWebPagesAndCountsTheRest) {
  testing::TempDir dir;
  const auto changed = [](SimpleEntrySpec spec, auto change) {
    change(spec);
    return spec;
  };
  const struct {
    SimpleEntrySpec spec;
    std::optional<SkipReason> skipped;  // nullopt: kept
  } cases[] = {
      {Entry(Key("/p0.html"), kOk, "<html>hello</html>"), std::nullopt},
      {Entry(Key("/gz.css"), "HTTP/1.1 200 OK\nContent-type: text/css\nContent-Encoding: gzip",
             "\x1f\x8b gzip bytes"),
       std::nullopt},
      // Larger than the reads at either end of the file: the body, a long
      // key and a large response info.
      {Entry(Key("/big.bin"), "HTTP/1.1 200 OK", std::string(100'000, 'b')), std::nullopt},
      {Entry(Key("/long?q=" + std::string(5000, 'q')), "HTTP/1.1 200 OK", std::string(9000, 'l')),
       std::nullopt},
      {Entry(Key("/certs"), "HTTP/1.1 200 OK\nX-Chain: " + std::string(9000, 'c'), "body"),
       std::nullopt},
      {changed(Entry(Key("/etag.gif"), "HTTP/1.1 200 OK\nX-Revalidated: yes", "GIF89a"),
               [](auto& s) { s.info.original_response_time = s.info.response_time - 4; }),
       std::nullopt},
      {changed(Entry("http://www.apache.org/old.js", "HTTP/1.1 200 OK", "var a;"),
               [](auto& s) {
                 s.info.extra_flags = false;
                 s.key_sha256 = false;
               }),
       std::nullopt},
      {Entry(Key("/301"), "HTTP/1.1 301 Moved Permanently\nLocation: /p0.html", ""),
       SkipReason::kNotOk},
      {Entry(Key("/favicon.ico"), "HTTP/1.1 404 Not Found", "not here"), SkipReason::kNotOk},
      {Entry(Key("/empty"), kOk, ""), SkipReason::kNoBody},
      {changed(Entry(Key("/slow.bin"), kOk, "so far"), [](auto& s) { s.finished = false; }),
       SkipReason::kNotFinished},
      {changed(Entry(Key("/aborted.bin"), kOk, "cut"), [](auto& s) { s.info.truncated = true; }),
       SkipReason::kNotFinished},
      {changed(Entry(Key("/media.webm"), "HTTP/1.1 206 Partial Content", ""),
               [](auto& s) { s.sparse = true; }),
       SkipReason::kPartial},
      {Entry(Key("/range"), "HTTP/1.1 206 Partial Content", "bytes"), SkipReason::kPartial},
      {Entry("1/1796773407613215/" + Key("/post").substr(4), kOk, "posted"), SkipReason::kNotWeb},
      {Entry("_keyhttp://127.0.0.1:8766/z/app.js \nhttp://127.0.0.1/", kOk, "v8"),
       SkipReason::kNotWeb},
  };
  std::vector<SimpleEntrySpec> specs;
  for (const auto& c : cases) specs.push_back(c.spec);
  const std::vector<std::string> paths = testing::WriteSimpleCache(dir.path(), specs);
  // Files that are no entries of the listing.
  dir.Write("index-dir/the-real-index", "stale");
  dir.Write("todelete_0123456789abcdef_0_1", "doomed");
  dir.Write("0123456789abcdef_1", "stream 2 without its entry");
  dir.Write("0123456789ABCDEF_0", "not lower-case hex");

  const StoredResponses read = ReadSimpleCache(dir.path());
  EXPECT_EQ(read.entries, std::size(cases));
  std::map<std::string, StoredResponse> kept;
  for (const StoredResponse& r : read.responses) kept[r.url] = r;
  std::array<std::uint64_t, kSkipReasonCount> skipped{};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const SimpleEntrySpec& spec = cases[i].spec;
    if (cases[i].skipped) {
      ++skipped[static_cast<std::size_t>(*cases[i].skipped)];
      continue;
    }
    const std::string url = spec.key.substr(spec.key.rfind(' ') + 1);
    ASSERT_TRUE(kept.contains(url)) << url;
    const StoredResponse& r = kept[url];
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.time, spec.info.response_time) << url;
    EXPECT_EQ(r.body.file, paths[i]);
    EXPECT_EQ(r.body.offset, 24 + spec.key.size());
    EXPECT_EQ(r.body.length, spec.body.size());
    EXPECT_EQ(r.body.crc32, Crc32(spec.body));
    EXPECT_EQ(ReadFileBytes(paths[i])->substr(r.body.offset, r.body.length), spec.body) << url;
  }
  EXPECT_EQ(read.skipped, skipped) << read.SkippedWords();
  EXPECT_EQ(read.responses.size(), 7u);
  EXPECT_EQ(kept[specs[0].key.substr(specs[0].key.rfind(' ') + 1)].content_type, "text/html");
  const StoredResponse& css = kept["http://127.0.0.1:8765/gz.css"];
  EXPECT_EQ(css.content_type, "text/css");
  EXPECT_EQ(css.body.content_encoding, "gzip");
}

// Cuts and flipped bytes: no crash, no read outside the file (the
// sanitizer build checks), the one entry counted, and nothing kept that is
// not the entry's own body. A small file is read whole, a large one at both
// ends: every byte of the small one, and of the large one every byte that
// is not body.
TEST(SimpleCacheReader, DamagedEntryFilesAreSkippedNeverMisread) {
  for (const std::size_t body_size : {18u, 20'000u}) {
    SCOPED_TRACE(body_size);
    testing::TempDir dir;
    const SimpleEntrySpec spec = Entry(Key("/p0.html"), kOk, std::string(body_size, 'b'));
    const std::string good = testing::SimpleEntryFile(spec);
    const std::string path = dir.File(testing::SimpleEntryHash(spec.key) + "_0");
    const auto read_one = [&](const std::string& bytes) {
      std::FILE* file = std::fopen(path.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), file);
      std::fclose(file);
      const StoredResponses read = ReadSimpleCache(dir.path());
      EXPECT_EQ(read.entries, 1u);
      EXPECT_EQ(read.responses.size() + read.SkippedCount(), 1u);
      return read;
    };
    const std::size_t body_start = 24 + spec.key.size() + 8;
    const std::size_t body_end = body_start + body_size - 16;
    for (std::size_t at = 0; at < good.size(); ++at) {
      if (at > body_start && at < body_end) at = body_end;
      EXPECT_TRUE(read_one(good.substr(0, at)).responses.empty()) << at;
      std::string bytes = good;
      bytes[at] = static_cast<char>(bytes[at] ^ 0x41);
      for (const StoredResponse& r : read_one(bytes).responses) {
        EXPECT_EQ(r.url, "http://127.0.0.1:8765/p0.html") << at;
        EXPECT_EQ(r.body.offset, 24 + spec.key.size()) << at;
        EXPECT_EQ(r.body.length, body_size) << at;
      }
    }
  }
}

// A page and its image as Chromium 156 stored them (read in place: the
// reader changes nothing).
TEST(SimpleCacheReader, ReadsACacheChromiumWrote) {
  const StoredResponses read = ReadSimpleCache(testing::TestData("chromium-simple"));
  EXPECT_EQ(read.entries, 2u);
  ASSERT_EQ(read.responses.size(), 2u) << read.SkippedWords();
  const struct {
    std::string url, type;
    std::uint64_t length;
  } expected[] = {{"http://127.0.0.1:18765/a.gif", "image/gif", 43},
                  {"http://127.0.0.1:18765/p0.html", "text/html", 49}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const StoredResponse& r = read.responses[i];
    EXPECT_EQ(r.url, expected[i].url);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.content_type, expected[i].type);
    EXPECT_GT(r.time, 1'700'000'000);
    ASSERT_EQ(r.body.length, expected[i].length);
    EXPECT_EQ(Crc32(ReadFileBytes(r.body.file)->substr(r.body.offset, r.body.length)),
              r.body.crc32);
  }
}

TEST(SimpleCacheReader, FolderProblemsAreNotesAndLinksAreNoEntries) {
  testing::TempDir dir;
  EXPECT_EQ(ReadSimpleCache(dir.File("missing")).notes.size(), 1u);

  testing::WriteSimpleCache(dir.path(), {Entry(Key("/a"), kOk, "a"), Entry(Key("/b"), kOk, "b")});
  const StoredResponses stopped = ReadSimpleCache(dir.path(), [] { return true; });
  EXPECT_EQ(stopped.entries, 0u);
  EXPECT_EQ(stopped.notes.size(), 1u);

#ifndef _WIN32
  const std::string target = testing::SimpleEntryHash(Key("/a")) + "_0";
  std::filesystem::create_symlink(dir.File(target), dir.File("00000000000000aa_0"));
  const StoredResponses read = ReadSimpleCache(dir.path());
  EXPECT_EQ(read.responses.size(), 2u);
  EXPECT_EQ(read.skipped[static_cast<std::size_t>(SkipReason::kDamaged)], 1u);
#endif
}

}  // namespace
}  // namespace webhoard
