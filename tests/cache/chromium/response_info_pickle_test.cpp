#include "cache/chromium/response_info_pickle.h"

#include <gtest/gtest.h>

#include "common/little_endian.h"
#include "support/simple_cache_writer.h"

namespace webhoard {
namespace {

using testing::ResponseInfoPickle;
using testing::ResponseInfoSpec;
using namespace std::string_literals;

TEST(ResponseInfoPickle, ReadsTheLeadingFieldsOfEveryLayout) {
  const auto spec = [](auto change) {
    ResponseInfoSpec s;
    s.head = "HTTP/1.1 200 OK\nContent-Type: text/css";
    change(s);
    return s;
  };
  const struct {
    const char* name;
    ResponseInfoSpec spec;
    bool readable;
  } cases[] = {
      {"new, after a revalidation", spec([](auto& s) { s.original_response_time = 1'600'000'000; }),
       true},
      {"2014, no extra flags", spec([](auto& s) { s.extra_flags = false; }), true},
      {"vary digest after the headers", spec([](auto& s) { s.vary = true; }), true},
      {"truncated", spec([](auto& s) { s.truncated = true; }), true},
      {"version 1", spec([](auto& s) { s.version = 1; }), true},
      {"version 0", spec([](auto& s) { s.version = 0; }), false},
      {"version 4", spec([](auto& s) { s.version = 4; }), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ResponseInfo> info = ParseResponseInfo(ResponseInfoPickle(c.spec));
    ASSERT_EQ(info.has_value(), c.readable);
    if (!info) continue;
    EXPECT_EQ(info->headers, "HTTP/1.1 200 OK\0Content-Type: text/css\0\0"s);
    EXPECT_EQ(info->request_time, c.spec.request_time);
    EXPECT_EQ(info->response_time, c.spec.response_time);
    EXPECT_EQ(info->original_response_time, c.spec.original_response_time);
    EXPECT_EQ(info->truncated, c.spec.truncated);
  }
}

// Every cut, with the size field telling the truth or not: the fields up to
// the headers are read only when they are all there.
TEST(ResponseInfoPickle, RefusesSizesAndLengthsThatDoNotFit) {
  ResponseInfoSpec spec;
  spec.original_response_time = 1'600'000'000;
  const std::string good = ResponseInfoPickle(spec);
  // Size, flags, times, the head's length and the head (without padding).
  const std::size_t headers_end = 4 + 8 + 24 + 4 + 41;
  ASSERT_GT(good.size(), headers_end);
  for (std::size_t cut = 0; cut <= good.size(); ++cut) {
    std::string pickle = good.substr(0, cut);
    EXPECT_EQ(ParseResponseInfo(pickle).has_value(), cut == good.size()) << cut;
    if (cut < 4) continue;
    StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(pickle.data()),
                           static_cast<std::uint32_t>(cut - 4));
    EXPECT_EQ(ParseResponseInfo(pickle).has_value(), cut >= headers_end) << cut;
  }
  std::string negative = good;  // the header string's length
  StoreLE<std::int32_t>(reinterpret_cast<std::uint8_t*>(negative.data()) + 36, -4);
  EXPECT_FALSE(ParseResponseInfo(negative));
}

TEST(ResponseInfoPickle, TimesCountMicrosecondsFrom1601) {
  EXPECT_EQ(UnixSecondsFromChromiumTime(11644473600LL * 1'000'000), 0);
  EXPECT_EQ(UnixSecondsFromChromiumTime(13'360'000'000'999'999), 1'715'526'400);
}

}  // namespace
}  // namespace webhoard
