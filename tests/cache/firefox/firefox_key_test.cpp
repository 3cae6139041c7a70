#include "cache/firefox/firefox_key.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace webhoard {
namespace {

TEST(FirefoxKey, AddressFollowsTheTagList) {
  const struct {
    const char* key;
    std::optional<std::string> url;
  } cases[] = {
      {":http://example.org/", "http://example.org/"},
      {"a,:https://example.org/a?b=c", "https://example.org/a?b=c"},
      {"O^partitionKey=%28http%2C127.0.0.1%29,:http://127.0.0.1:8765/p0.html",
       "http://127.0.0.1:8765/p0.html"},
      {"O^partitionKey=%28http%2C127.0.0.1%29,a,~FETCH,:http://localhost:8766/z/anon.gif",
       "http://localhost:8766/z/anon.gif"},
      {"~1796773581,:http://localhost/form", "http://localhost/form"},
      {"p,:HTTPS://example.org/", "HTTPS://example.org/"},
      // A doubled comma belongs to the value; ":" inside a value ends nothing.
      {"O^firstPartyDomain=a,,b:c,:http://example.org/,x", "http://example.org/,x"},
      {"~x,,,:http://example.org/", "http://example.org/"},
      {"~predictor-origin,:https://www.mozilla.org/", "https://www.mozilla.org/"},
      // Not an http(s) page, or no address at all.
      {":about:home", std::nullopt},
      {"a,:moz-extension://x/y", std::nullopt},
      {":http://", std::nullopt},
      {"O^partitionKey=x,http://example.org/", std::nullopt},
      {"~x,,:http://example.org/", std::nullopt},
      {"http://example.org/", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FirefoxKeyUrl(c.key), c.url) << c.key;
}

}  // namespace
}  // namespace webhoard
