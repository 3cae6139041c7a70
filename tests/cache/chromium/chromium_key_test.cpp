#include "cache/chromium/chromium_key.h"

#include <gtest/gtest.h>

#include "cache/chromium/super_fast_hash.h"

namespace webhoard {
namespace {

TEST(ChromiumKey, RealKeyShapesGiveTheirUrl) {
  const struct {
    std::string key;
    std::optional<std::string> url;
    std::uint64_t upload_id = 0;
  } cases[] = {
      // Caches before 2020: the bare URL.
      {"http://www.apache.org/js/jquery.js", "http://www.apache.org/js/jquery.js"},
      {"1/0/http://127.0.0.1:8765/p0.html", "http://127.0.0.1:8765/p0.html"},
      {"0/0/HTTPS://example.com/a?b=c d", std::nullopt},
      {"0/0/HTTPS://example.com/a?b=c", "HTTPS://example.com/a?b=c"},
      // Partitioned: the URL follows the last space.
      {"1/0/_dk_http://127.0.0.1 http://127.0.0.1 http://127.0.0.1:8765/img/a.gif",
       "http://127.0.0.1:8765/img/a.gif"},
      {"1/0/_dk_s_http://127.0.0.1 http://localhost http://localhost:8766/z/frame.html",
       "http://localhost:8766/z/frame.html"},
      {"1/0/_dk_cn_http://localhost http://localhost http://localhost:8766/z/frame.html",
       "http://localhost:8766/z/frame.html"},
      {"1/1796773407613215/_dk_http://127.0.0.1 http://127.0.0.1 http://127.0.0.1:8766/z/post",
       "http://127.0.0.1:8766/z/post", 1796773407613215},
      // The cache's own keys, other schemes, junk.
      {"Range_1/0/_dk_http://127.0.0.1 http://127.0.0.1 http://127.0.0.1:8766/z/media.webm:"
       "2fc0be37b169de:1",
       std::nullopt},
      {"_keyhttp://127.0.0.1:8766/z/app.js \nhttp://127.0.0.1/", std::nullopt},
      {"1/0/chrome-extension://abcdef/page.html", std::nullopt},
      {"1/0/data:text/html,hello", std::nullopt},
      {"1/x/http://example.com/", std::nullopt},
      {"99999999999999999999/0/http://example.com/", std::nullopt},
      {"1/0/_dk_http://a http://a ", std::nullopt},
      {"1/0/_dk_http://example.com/", std::nullopt},
      {"1/0/http://", std::nullopt},
      {"1/0/", std::nullopt},
      {"1/", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<ChromiumKey> key = ParseChromiumKey(c.key);
    ASSERT_EQ(key.has_value(), c.url.has_value()) << c.key;
    if (!key) continue;
    EXPECT_EQ(key->url, *c.url) << c.key;
    EXPECT_EQ(key->upload_id, c.upload_id) << c.key;
  }
}

// Key hashes as a 2014 browser stored them in its blockfile entries.
TEST(SuperFastHash, MatchesTheHashesOfARealCache) {
  const struct {
    std::string_view key;
    std::uint32_t hash;
  } cases[] = {
      {"http://tools.google.com/chrome/intl/en/welcome.html", 0xb71a616a},
      {"https://www.google.com/intl/en/chrome/browser/welcome.html", 0xe98f5932},
      {"https://www.google.com/js/gweb/analytics/autotrack.js", 0xba9da593},
      {"https://www.google.com/intl/en/chrome/assets/common/js/chrome.min.js", 0x9a5419b6},
  };
  for (const auto& c : cases) EXPECT_EQ(SuperFastHash(c.key), c.hash) << c.key;
}

}  // namespace
}  // namespace webhoard
