#include "cache/http/response_head.h"

#include <gtest/gtest.h>

#include <string>

#include "cache/http/stored_response.h"

namespace webhoard {
namespace {

using namespace std::string_literals;

TEST(ResponseHead, BothBrowsersFormsGiveTheSameFields) {
  const struct {
    std::string head;
    int status;
    std::string type, encoding;
    std::optional<std::int64_t> date;
  } cases[] = {
      // Chromium: NUL-separated, ending in an empty line.
      {"HTTP/1.1 200 OK\0Date: Sun, 06 Nov 1994 08:49:37 GMT\0Content-type: Text/HTML; "
       "charset=utf-8\0Content-Encoding: GZIP\0\0Ignored: after the end\0"s,
       200, "text/html", "gzip", 784111777},
      // Firefox: CRLF lines.
      {"HTTP/1.1 304 Not Modified\r\ncontent-type:image/png\r\nContent-Encoding: identity\r\n"
       "Date: Sunday, 06-Nov-94 08:49:37 GMT\r\n\r\n",
       304, "image/png", "", 784111777},
      {"HTTP/2 200\nContent-Encoding:  br \nDate: Sun Nov  6 08:49:37 1994\n", 200, "", "br",
       784111777},
      {"HTTP/1.0 302 Found\r\nLocation: /x\r\nDate: yesterday\r\n", 302, "", "", std::nullopt},
      // Damaged heads: nothing read, nothing invented.
      {"", 0, "", "", std::nullopt},
      {"HTTP/1.1 20x OK\r\nContent-Type\r\n", 0, "", "", std::nullopt},
      {"HTTP/1.1\0Content-Type: text/css\0"s, 0, "text/css", "", std::nullopt},
      {"garbage\xff\xfe\0\0Content-Type: text/css\0"s, 0, "", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const ResponseHead head = ParseResponseHead(c.head);
    EXPECT_EQ(head.status, c.status) << c.head;
    EXPECT_EQ(head.content_type, c.type) << c.head;
    EXPECT_EQ(head.content_encoding, c.encoding) << c.head;
    EXPECT_EQ(head.date, c.date) << c.head;
  }
  EXPECT_EQ(HeaderValue("HTTP/1.1 200 OK\r\nETag:  \"x\" \r\netag: y\r\n", "ETAG"), "\"x\"");
  EXPECT_EQ(HeaderValue("HTTP/1.1 200 OK\r\n", "ETag"), std::nullopt);
  // Redirects: the five statuses with a Location that says something.
  EXPECT_EQ(RedirectLocation(301, std::string("HTTP/1.1 301\0Location: /x\0\0", 27)), "/x");
  EXPECT_EQ(RedirectLocation(308, "HTTP/1.1 308\r\nlocation: https://h/y\r\n"), "https://h/y");
  EXPECT_EQ(RedirectLocation(302, "HTTP/1.1 302\r\nLocation:  \r\n"), std::nullopt);
  EXPECT_EQ(RedirectLocation(304, "HTTP/1.1 304\r\nLocation: /x\r\n"), std::nullopt);
}

TEST(ResponseHead, HttpDatesOnlyWhenTheyAreReal) {
  const struct {
    const char* text;
    std::optional<std::int64_t> seconds;
  } cases[] = {
      {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
      {"Tue, 29 Feb 2000 23:59:59 GMT", 951868799},
      {"Mon, 29 Feb 2100 00:00:00 GMT", std::nullopt},  // no leap day in 2100
      {"Wed, 31 Dec 1969 23:59:59 GMT", -1},
      {"Friday, 01-Jan-99 00:00:00 GMT", 915148800},
      {"Saturday, 01-Jan-00 00:00:00 GMT", 946684800},
      {"Thu, 01 Jan 1970 24:00:00 GMT", std::nullopt},
      {"Thu, 01 Foo 1970 00:00:00 GMT", std::nullopt},
      {"Thu, 01 Jan 1970 00:00:00 CET", std::nullopt},
      {"Thu, 1 Jan 1970 00:00", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHttpDate(c.text), c.seconds) << c.text;
}

TEST(StoredResponses, SkippedEntriesAreCountedByReason) {
  StoredResponses read;
  EXPECT_EQ(read.SkippedWords(), "");
  read.Skip(SkipReason::kNotOk);
  read.Skip(SkipReason::kNotFinished);
  read.Skip(SkipReason::kNotOk);
  EXPECT_EQ(read.SkippedCount(), 3u);
  EXPECT_EQ(read.SkippedWords(), "1 not finished, 2 not 200");
}

}  // namespace
}  // namespace webhoard
