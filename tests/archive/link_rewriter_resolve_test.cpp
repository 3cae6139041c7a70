// Resolving links, finding their archived targets, and page titles.
#include <gtest/gtest.h>

#include "archive/link_resolver.h"
#include "archive/link_targets.h"
#include "archive/page_title.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

TEST(LinkResolution, BaseIsTheHostPortAndFolderOfThePage) {
  EXPECT_EQ(BaseOf("http://host:80/dir/index.htm"), "host:80/dir/");
  EXPECT_EQ(BaseOf("HTTP://host:80/dir/"), "host:80/dir/");
  EXPECT_EQ(BaseOf("http://host:80/"), "host:80/");
  EXPECT_EQ(BaseOf("host:80"), "host:80");
  EXPECT_EQ(BaseOf(""), "");
}

TEST(LinkResolution, LinksBecomeCanonicalUrls) {
  const std::string base = "host:80/dir/";
  struct Case {
    const char* link;
    const char* url;
  } cases[] = {
      {"page.htm", "http://host:80/dir/page.htm"},
      {"page.htm#top", "http://host:80/dir/page.htm"},
      {"/abs.htm", "http://host:80/abs.htm"},
      {"../up.htm", "http://host:80/up.htm"},
      {"./a/./b.htm", "http://host:80/dir/a/b.htm"},
      {"a/b/../../c.htm", "http://host:80/dir/c.htm"},
      {"/../x.htm", "http://host:80/x.htm"},
      {"sub", "http://host:80/dir/sub"},
      {"http://Other.COM/x", "http://other.com:80/x"},
      {"HTTP://h:8080", "http://h:8080/"},
      {"https://h/x", "https://h:443/x"},
      {"HTTPS://h:8443/x", "https://h:8443/x"},
      {"http//h/x", "http://h:80/x"},
      {"HTTP:rel.htm", "http://host:80/dir/rel.htm"},
      {"HTTP:/root.htm", "http://host:80/root.htm"},
      {"a\\b.htm", "http://host:80/dir/a/b.htm"},
      {"ftp://h/x", "ftp://h/x"},
      {"#top", ""},
      {"news:comp.lang", ""},
      {"NEWS:x", ""},
      {"MailTo:a@b.c", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveLink(c.link, base), c.url) << c.link;
  // A base without a folder: absolute links take all of it as host.
  EXPECT_EQ(ResolveLink("/x", "h:81"), "http://h:81/x");
  // On an https page, relative links name https addresses.
  const std::string secure = BaseOf("https://host:443/dir/p.htm");
  EXPECT_EQ(secure, "https://host:443/dir/");
  EXPECT_EQ(ResolveLink("page.htm", secure), "https://host:443/dir/page.htm");
  EXPECT_EQ(ResolveLink("/abs.htm", secure), "https://host:443/abs.htm");
  EXPECT_EQ(ResolveLink("http://h/x", secure), "http://h:80/x");
  EXPECT_EQ(ResolveLink("x", BaseOf("https://h/")), "https://h:443/x");
}

TEST(LinkResolution, ResolvedLinksAreShortTexts) {
  const std::string base = "host:80/" + std::string(240, 'd') + "/";
  EXPECT_LE(ResolveLink(std::string(200, 'p'), base).size(), 255u);
}

struct Targets {
  std::vector<TCacheItem> owned;
  std::vector<TCacheItem*> selection;

  void Add(std::string url, std::string name, int mime = 1, std::string domain = "host") {
    TCacheItem item;
    item.URL = std::move(url);
    item.ArchiveName = std::move(name);
    item.MimeIndex = mime;
    item.Domain = std::move(domain);
    owned.push_back(std::move(item));
  }
  void Select() {
    for (auto& item : owned) selection.push_back(&item);
  }
};

TEST(LinkTargetLookup, FirstMatchInSelectionThenArchiveWithTheSlashRule) {
  Targets t;
  t.owned.reserve(8);
  t.Add("http://host:80/dir/", "dir.htm");
  t.Add("http://host:80/dir", "dir(1).htm");
  t.Add("http://host:80/a.gif", "a.gif", 2);
  t.Add("http://host:80/a.gif", "second.gif", 2);
  t.Select();
  testing::TempDir dir;
  ArchiveList archive(dir.path());
  TCacheItem old;
  old.URL = "http://host:80/old.htm";
  old.ArchiveName = "old.htm";
  old.MimeIndex = 1;
  old.Domain = "host";
  ASSERT_TRUE(archive.RecordArchivedItem(old));
  old.URL = "http://host:80/a.gif";
  old.ArchiveName = "archived.gif";
  ASSERT_TRUE(archive.RecordArchivedItem(old));
  old.URL = "http://host:80/x/";
  old.ArchiveName = "x.htm";
  ASSERT_TRUE(archive.RecordArchivedItem(old));
  const LinkTargets targets(t.selection, &archive);

  // "dir" matches the first item through its trailing "/", before the exact
  // match that comes later in the list.
  EXPECT_EQ(ArchiveLinkFor("http://host:80/dir", targets), "../../host/text/dir.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/dir/", targets), "../../host/text/dir.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/a.gif", targets), "../../host/image/a.gif");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/old.htm", targets), "../../host/text/old.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/x", targets), "../../host/text/x.htm");
  EXPECT_EQ(ArchiveLinkFor("http://HOST:80/old.htm", targets), "../../notfound.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/old.htm/", targets), "../../notfound.htm");
  EXPECT_EQ(ArchiveLinkFor("", targets), "../../notfound.htm");

  // Names given after the index was built are the ones linked to.
  t.owned[2].ArchiveName = "renamed.gif";
  EXPECT_EQ(ArchiveLinkFor("http://host:80/a.gif", targets), "../../host/image/renamed.gif");
  const LinkTargets no_archive(t.selection, nullptr);
  EXPECT_EQ(ArchiveLinkFor("http://host:80/old.htm", no_archive), "../../notfound.htm");

  // An https address not archived as such leads to the copy an older archive
  // holds under its http spelling; an https copy of its own comes first.
  EXPECT_EQ(ArchiveLinkFor("https://host:443/old.htm", targets), "../../host/text/old.htm");
  EXPECT_EQ(ArchiveLinkFor("https://host:8443/old.htm", targets), "../../notfound.htm");
  t.Add("https://host:443/old.htm", "secure.htm");
  t.selection = {&t.owned.back()};
  const LinkTargets secure(t.selection, &archive);
  EXPECT_EQ(ArchiveLinkFor("https://host:443/old.htm", secure), "../../host/text/secure.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/old.htm", secure), "../../host/text/old.htm");

  // Redirects the cache holds lead on, relative Locations too; a loop or a
  // redirect to nothing archived leads to the not-found page.
  LinkTargets redirected(t.selection, &archive);
  redirected.AddRedirect("http://host/moved", "x/");
  redirected.AddRedirect("https://host/a", "http://host/moved#top");
  redirected.AddRedirect("http://host/loop1", "/loop2");
  redirected.AddRedirect("http://host/loop2", "/loop1");
  redirected.AddRedirect("http://host/self", "self");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/moved", redirected), "../../host/text/x.htm");
  EXPECT_EQ(ArchiveLinkFor("https://host:443/a", redirected), "../../host/text/x.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/loop1", redirected), "../../notfound.htm");
  EXPECT_EQ(ArchiveLinkFor("http://host:80/self", redirected), "../../notfound.htm");
}

TEST(PageTitles, TitleTextIsCleanedAndCut) {
  struct Case {
    std::string page;
    std::string title;
  } cases[] = {
      {"<html><title>My\r\nPage</title></html>", "MyPage"},
      {"<HEAD><TITLE>  spaced\tout  </TITLE>", "spacedout"},
      {"< title lang=en >Loose</title>", "Loose"},
      {"<html><body>no title here</body></html>", ""},
      {"", ""},
      {"<title>" + std::string(150, 'x') + "</title>", std::string(100, 'x')},
      {"<title>" + std::string(99, 'x') + "\n\n\nyz", std::string(99, 'x') + "y"},
      {"<!-- <title>hidden</title> --><title>shown</title>", "shown"},
      {"<title>AT&amp;T</title>", "AT&amp;T"},
      {"<title>unterminated", "unterminated"},
      {"<title", ""},
      {std::string("<title>a\0b\x01"
                   "c</title>",
                   17),
       "abc"},
      {"<titlebar>odd</titlebar>", "odd"},
      // A comment without an end is passed over to the next ">" only.
      {"<!-- x > <title>a</title>", "a"},
      {"<!-- <title>a</title>", ""},
      {"<p " + std::string(40, 'q') + "><title>long tags before</title>", "long tags before"},
  };
  for (const Case& c : cases) EXPECT_EQ(PageTitleOf(c.page), c.title) << c.page;
}

TEST(PageTitles, ReadFromTheCachedFile) {
  testing::TempDir dir;
  EXPECT_EQ(PageTitle(dir.Write("p.htm", "<title>From file</title>")), "From file");
  EXPECT_EQ(PageTitle(dir.File("missing.htm")), "");
}

}  // namespace
}  // namespace webhoard
