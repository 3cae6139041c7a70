// The test site as Firefox ESR 153 cached it (tests/interop/make_browser_caches.sh):
// one profile, one headless run per page: the home page, both language
// versions of page 2, the redirect, and the home page again, revalidated
// with 304s for it and everything it loads.
#include <gtest/gtest.h>

#include "cache/firefox/cache2_reader.h"
#include "support/browser_site.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

TEST(FirefoxSiteCache, EveryFetchedAnswerIsTheSitesFile) {
  const StoredResponses read = ReadFirefoxCache(testing::TestData("firefox-site"));
  EXPECT_TRUE(read.notes.empty());
  // Firefox kept no entry for the 301 of /old.html.
  EXPECT_EQ(read.entries, 13u);
  EXPECT_EQ(read.SkippedCount(), 0u) << read.SkippedWords();
  testing::ExpectResponsesFromBrowserSite(
      read, {"/index.html", "/css/site.css", "/css/extra.css", "/js/app.js", "/frame.html",
             "/img/tile.png", "/img/mark.png", "/img/red.png", "/img/blue.png",
             "/img/green.png?v=2", "/page2.html?lang=en", "/page2.html?lang=fr", "/page3.html"});
}

}  // namespace
}  // namespace webhoard
