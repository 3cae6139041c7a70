#include "cache/firefox/cache2_entry.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "support/firefox_cache_writer.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::Cache2EntryBytes;
using testing::Cache2EntryFixture;
using testing::Cache2Page;

constexpr const char* kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";

Cache2EntryFixture Versioned(std::uint32_t version) {
  Cache2EntryFixture entry = Cache2Page("http://example.org/v", kOk, "<p>hi</p>");
  entry.version = version;
  return entry;
}

Cache2EntryFixture WithElement(Cache2EntryFixture entry, std::string name, std::string value) {
  entry.elements.emplace_back(std::move(name), std::move(value));
  return entry;
}

Cache2EntryRead ReadBytes(const std::string& bytes) {
  const testing::TempDir dir;
  return ReadCache2Entry(dir.Write("0123456789ABCDEF0123456789ABCDEF01234567", bytes));
}

TEST(Cache2Entry, PagesAreKeptAndTheRestSkippedWithTheirReason) {
  Cache2EntryFixture encrypted = Versioned(4);
  encrypted.encrypted = true;
  Cache2EntryFixture predictor;
  predictor.key = "~predictor-origin,:https://www.mozilla.org/";
  predictor.elements = {{"predictor::seen", "1"}};
  Cache2EntryFixture post = Versioned(4);
  post.key = "~1796773581," + post.key;
  post.elements[0].second = "POST";
  Cache2EntryFixture about_home = Versioned(4);
  about_home.key = ":about:home";
  about_home.elements = {{"alt-data", "1;9,script"}};
  Cache2EntryFixture undated = Cache2Page(
      "http://example.org/d", "HTTP/1.1 200 OK\r\nDate: Sun, 06 Nov 1994 08:49:37 GMT\r\n", "x");
  undated.last_modified = 0;
  const std::string flipped = [] {
    std::string bytes = Cache2EntryBytes(Versioned(4));
    bytes[bytes.size() - 20] ^= 0x20;  // inside the elements
    return bytes;
  }();
  const std::string big_body(600 * 1024, 'b');  // three chunk hashes

  const struct {
    const char* name;
    std::string bytes;
    std::optional<SkipReason> skip;  // nullopt: kept
    std::uint64_t body_length = 0;
    std::int64_t time = 0;
    bool encrypted = false;
  } cases[] = {
      {"version 4", Cache2EntryBytes(Versioned(4)), std::nullopt, 9, 1700000000},
      {"version 3", Cache2EntryBytes(Versioned(3)), std::nullopt, 9, 1700000000},
      {"version 2", Cache2EntryBytes(Versioned(2)), std::nullopt, 9, 1700000000},
      {"version 1", Cache2EntryBytes(Versioned(1)), std::nullopt, 9, 1700000000},
      {"over 256 KiB", Cache2EntryBytes(Cache2Page("http://example.org/big", kOk, big_body)),
       std::nullopt, big_body.size(), 1700000000},
      {"time from Date", Cache2EntryBytes(undated), std::nullopt, 1, 784111777},
      {"anonymous fetch", Cache2EntryBytes([] {
         Cache2EntryFixture entry = Versioned(4);
         entry.key = "a,~FETCH,:http://localhost/anon.gif";
         return entry;
       }()),
       std::nullopt, 9, 1700000000},
      {"being written", std::string(100, 'x') + std::string(8, '\xFF'), SkipReason::kNotFinished},
      {"offset past the end", "***Not a Firefox cache2 file***\nLorem ipsum",
       SkipReason::kNotFinished},
      {"empty file", "", SkipReason::kNotFinished},
      {"cut download",
       Cache2EntryBytes(Cache2Page("http://example.org/c",
                                   "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", "12345")),
       SkipReason::kNotFinished},
      {"206",
       Cache2EntryBytes(Cache2Page("http://example.org/r", "HTTP/1.1 206 Partial\r\n", "ab")),
       SkipReason::kPartial},
      {"content range",
       Cache2EntryBytes(Cache2Page("http://example.org/r",
                                   "HTTP/1.1 200 OK\r\nContent-Range: bytes 0-1/9\r\n", "ab")),
       SkipReason::kPartial},
      {"redirect",
       Cache2EntryBytes(Cache2Page("http://example.org/", "HTTP/1.1 302 Found\r\n", "")),
       SkipReason::kNotOk},
      {"no body", Cache2EntryBytes(Cache2Page("http://example.org/e", kOk, "")),
       SkipReason::kNoBody},
      {"POST", Cache2EntryBytes(post), SkipReason::kNotWeb},
      {"predictor", Cache2EntryBytes(predictor), SkipReason::kNotWeb},
      {"about:home", Cache2EntryBytes(about_home), SkipReason::kNotWeb},
      {"hash mismatch", flipped, SkipReason::kDamaged},
      {"status unreadable",
       Cache2EntryBytes(Cache2Page("http://example.org/s", "HTTP/1.1 OK\r\n", "x")),
       SkipReason::kDamaged},
      {"encrypted", Cache2EntryBytes(encrypted), SkipReason::kDamaged, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Cache2EntryRead read = ReadBytes(c.bytes);
    EXPECT_EQ(read.encrypted, c.encrypted);
    if (c.skip) {
      EXPECT_FALSE(read.response.has_value());
      EXPECT_EQ(read.skip, *c.skip);
      continue;
    }
    ASSERT_TRUE(read.response.has_value()) << SkipReasonWords(read.skip);
    EXPECT_EQ(read.response->status, 200);
    EXPECT_EQ(read.response->body.offset, 0u);
    EXPECT_EQ(read.response->body.length, c.body_length);
    EXPECT_EQ(read.response->time, c.time);
  }
  const Cache2EntryRead page = ReadBytes(Cache2EntryBytes(Cache2Page(
      "https://example.org/g.svg",
      "HTTP/1.1 200 OK\r\nContent-Type: Image/SVG+xml; x=y\r\nContent-Encoding: gzip\r\n", "gz")));
  ASSERT_TRUE(page.response.has_value());
  EXPECT_EQ(page.response->url, "https://example.org/g.svg");
  EXPECT_EQ(page.response->content_type, "image/svg+xml");
  EXPECT_EQ(page.response->body.content_encoding, "gzip");
}

TEST(Cache2Entry, AlternativeDataIsNoPartOfTheBody) {
  const std::string data(3000, 's');
  const struct {
    const char* alt_data;
    std::optional<std::uint64_t> body_length;  // nullopt: skipped
    SkipReason skip = SkipReason::kDamaged;
  } cases[] = {
      {"1;2730,javascript/moz-script-bytecode-x", 2730},
      {"1;3000,javascript/moz-script-bytecode-x", 3000},
      {"1;0,javascript/moz-script-bytecode-x", std::nullopt, SkipReason::kNoBody},
      {"1;3001,javascript/moz-script-bytecode-x", std::nullopt},
      {"2;10,javascript/moz-script-bytecode-x", std::nullopt},
      {"1;10", std::nullopt},
      {"1;,x", std::nullopt},
      {"1;-1,x", std::nullopt},
      {"1;99999999999999999999999,x", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.alt_data);
    const Cache2EntryRead read = ReadBytes(Cache2EntryBytes(
        WithElement(Cache2Page("http://example.org/app.js", kOk, data), "alt-data", c.alt_data)));
    if (!c.body_length) {
      EXPECT_FALSE(read.response.has_value());
      EXPECT_EQ(read.skip, c.skip);
      continue;
    }
    ASSERT_TRUE(read.response.has_value()) << SkipReasonWords(read.skip);
    EXPECT_EQ(read.response->body.length, *c.body_length);
  }
}

}  // namespace
}  // namespace webhoard
