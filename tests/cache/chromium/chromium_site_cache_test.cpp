// The test site as Chromium 156 cached it (tests/interop/make_browser_caches.sh):
// a fresh profile visited the home page, both language versions of page 2
// and the redirect, then revalidated the home page (304).
#include <gtest/gtest.h>

#include "cache/chromium/simple_cache_reader.h"
#include "support/browser_site.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

TEST(ChromiumSiteCache, EveryFetchedAnswerIsTheSitesFile) {
  const StoredResponses read = ReadSimpleCache(testing::TestData("chromium-site"));
  EXPECT_TRUE(read.notes.empty());
  EXPECT_EQ(read.entries, 16u);
  // The 301 of /old.html and the 404 of /favicon.ico are kept with their
  // headers only.
  EXPECT_EQ(read.skipped[static_cast<std::size_t>(SkipReason::kNotOk)], 2u);
  EXPECT_EQ(read.SkippedCount(), 2u) << read.SkippedWords();
  ASSERT_EQ(read.redirects.size(), 1u);
  EXPECT_EQ(read.redirects[0].url, std::string(testing::kBrowserSiteOrigin) + "/old.html");
  EXPECT_EQ(read.redirects[0].location, "/page3.html");
  testing::ExpectResponsesFromBrowserSite(
      read, {"/index.html", "/css/site.css", "/css/extra.css", "/js/app.js", "/frame.html",
             "/favicon.png", "/img/tile.png", "/img/mark.png", "/img/red.png", "/img/blue.png",
             "/img/green.png?v=2", "/page2.html?lang=en", "/page2.html?lang=fr", "/page3.html"});
}

}  // namespace
}  // namespace webhoard
