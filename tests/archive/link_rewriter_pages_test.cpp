// Whole pages: exact output for realistic pages, the archived copy on disk,
// and pages made to break the reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "archive/archive_info_file.h"
#include "archive/link_rewriter.h"
#include "archive/page_title.h"
#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TCacheItem Item(std::string url, std::string name, int mime, std::string domain) {
  TCacheItem item;
  item.URL = std::move(url);
  item.ArchiveName = std::move(name);
  item.MimeIndex = mime;
  item.Domain = std::move(domain);
  return item;
}

LinkOptions PlainOptions() {
  LinkOptions options;
  options.show_original_urls = false;
  options.emphasize_links = false;
  options.strikeout_links = false;
  return options;
}

constexpr std::string_view kSitePage =
    "<HTML>\r\n<HEAD>\r\n<TITLE>Tarn\r\nHome</TITLE>\r\n"
    "<META HTTP-EQUIV=\"Refresh\" CONTENT=\"30;URL=news.htm\">\r\n"
    "</HEAD>\r\n<BODY BACKGROUND=\"img/back.gif\" BGCOLOR=#FFFFFF>\r\n"
    "<!-- navigation: <A HREF=\"old.htm\">old</A> -->\r\n"
    "<IMG SRC=\"img/logo.gif\" WIDTH=100 HEIGHT=40 ALT=\"Logo\">\r\n"
    "<P>See <A HREF=\"news.htm#latest\">the news</A>, "
    "<A HREF=\"http://www.elsewhere.com/\">a friend</A> and "
    "<A HREF=\"/about/\">about us</A>.</P>\r\n"
    "<A HREF=\"mailto:web@tarn.example\">mail</A> <A HREF=\"#top\">top</A>\r\n"
    "<IMG SRC=\"img/missing.gif\"><MAP NAME=m><AREA HREF=\"news.htm\" SHAPE=rect></MAP>\r\n"
    "</BODY>\r\n</HTML>\r\n";

struct Site {
  std::vector<TCacheItem> items = {
      Item("http://tarn:80/site/index.htm", "index.htm", 1, "tarn"),
      Item("http://tarn:80/site/news.htm", "news.htm", 1, "tarn"),
      Item("http://tarn:80/site/img/back.gif", "back.gif", 2, "tarn"),
      Item("http://tarn:80/site/img/logo.gif", "logo.gif", 2, "tarn"),
  };
  std::vector<TCacheItem*> selection;
  TempDir dir;
  ArchiveList archive{dir.path()};

  Site() {
    for (auto& item : items) selection.push_back(&item);
    // Archived in an earlier run.
    archive.RecordArchivedItem(Item("http://tarn:80/about/", "about.htm", 1, "tarn"));
  }
};

TEST(RewritingPages, WholePageWithEveryKindOfLink) {
  Site site;
  const LinkTargets targets(site.selection, &site.archive);
  const std::string expected =
      "<HTML>\r\n<HEAD>\r\n<TITLE>Tarn\r\nHome</TITLE>\r\n"
      "<META HTTP-EQUIV=\"Refresh\" CONTENT=\"30;URL=../../tarn/text/news.htm\">\r\n"
      "</HEAD>\r\n<BODY BACKGROUND=\"../../tarn/image/back.gif\" BGCOLOR=#FFFFFF>\r\n"
      "<!-- navigation: <A HREF=\"old.htm\">old</A> -->\r\n"
      "<IMG SRC=\"../../tarn/image/logo.gif\" WIDTH=100 HEIGHT=40 ALT=\"Logo\">\r\n"
      "<P>See <A HREF=\"../../tarn/text/news.htm#latest\">the news</A>, "
      "<A HREF=\"../../notfound.htm\">a friend</A> and "
      "<A HREF=\"../../tarn/text/about.htm\">about us</A>.</P>\r\n"
      "<A HREF=\"mailto:web@tarn.example\">mail</A> <A HREF=\"#top\">top</A>\r\n"
      "<IMG SRC=\"../../images/notfound.gif\"><MAP NAME=m>"
      "<AREA HREF=\"../../tarn/text/news.htm\" SHAPE=rect></MAP>\r\n"
      "</BODY>\r\n</HTML>\r\n";
  EXPECT_EQ(RewritePageText(kSitePage, site.items[0].URL, targets, PlainOptions()), expected);
}

TEST(RewritingPages, WholePageWithTheUsersPreferences) {
  Site site;
  const LinkTargets targets(site.selection, &site.archive);
  LinkOptions options = PlainOptions();
  options.show_original_urls = true;
  options.emphasize_links = true;
  options.strikeout_links = true;
  options.emphasizing_tag = "I";
  options.de_emphasizing_tag = "/I";
  const std::string page =
      "<P><A HREF=\"news.htm\">news</A> <A HREF=\"http://www.elsewhere.com/x.htm#a\">away</A>"
      "<IMG SRC=gone.gif></P>";
  const std::string expected =
      "<P><A HREF=\"../../tarn/text/news.htm\"><I>news</I></A> "
      "<A HREF=\"http://www.elsewhere.com/x.htm\"><STRIKE>away</STRIKE></A>"
      "<IMG SRC=../../images/notfound.gif></P>";
  EXPECT_EQ(RewritePageText(page, site.items[0].URL, targets, options), expected);
}

TEST(RewritingPages, ArchivedCopyIsWrittenAndTitled) {
  Site site;
  const std::string archive = site.dir.File("arch");
  TCacheItem& page = site.items[0];
  page.LocalFile = site.dir.Write("cache/index.htm", kSitePage);
  const LinkTargets targets(site.selection, nullptr);
  std::string error;
  ASSERT_TRUE(RewritePage(page, archive, targets, PlainOptions(), &error)) << error;
  EXPECT_EQ(page.Title, "TarnHome");
  const auto written = ReadFileBytes(archive + "/tarn/text/index.htm");
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, RewritePageText(kSitePage, page.URL, targets, PlainOptions()));

  // A second run replaces the copy and leaves nothing else beside it.
  site.dir.Write("cache/index.htm", "<title>New</title>");
  ASSERT_TRUE(RewritePage(page, archive, targets, PlainOptions(), &error)) << error;
  EXPECT_EQ(ReadFileBytes(archive + "/tarn/text/index.htm"), "<title>New</title>");
  EXPECT_EQ(page.Title, "New");
  int files = 0;
  for (const auto& entry : fs::directory_iterator(archive + "/tarn/text"))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST(RewritingPages, LongestArchiveNamesCanBeWritten) {
  Site site;
  TCacheItem& page = site.items[0];
  page.LocalFile = site.dir.Write("cache/index.htm", "<title>T</title>");
  page.ArchiveName = std::string(251, 'n') + ".htm";
  const LinkTargets targets(site.selection, nullptr);
  std::string error;
  EXPECT_TRUE(RewritePage(page, site.dir.File("arch"), targets, PlainOptions(), &error)) << error;
  EXPECT_TRUE(FileExists(site.dir.File("arch/tarn/text/" + page.ArchiveName)));
}

TEST(RewritingPages, MissingCachedFileGivesNoCopyAndNoTitle) {
  Site site;
  TCacheItem& page = site.items[0];
  page.LocalFile = site.dir.File("cache/gone.htm");
  const LinkTargets targets(site.selection, nullptr);
  EXPECT_TRUE(RewritePage(page, site.dir.File("arch"), targets, PlainOptions()));
  EXPECT_TRUE(page.Title.empty());
  EXPECT_FALSE(fs::exists(site.dir.File("arch/tarn")));
}

TEST(RewritingPages, EmptyPageGivesAnEmptyCopy) {
  Site site;
  TCacheItem& page = site.items[0];
  page.LocalFile = site.dir.Write("cache/empty.htm", "");
  const LinkTargets targets(site.selection, nullptr);
  EXPECT_TRUE(RewritePage(page, site.dir.File("arch"), targets, PlainOptions()));
  EXPECT_EQ(ReadFileBytes(site.dir.File("arch/tarn/text/index.htm")), "");
  EXPECT_EQ(page.Title, "");
}

TEST(RewritingPages, FailuresLeaveTheOldCopyAndNeverWriteOutsideTheArchive) {
  Site site;
  const std::string archive = site.dir.File("arch");
  TCacheItem& page = site.items[0];
  page.LocalFile = site.dir.Write("cache/index.htm", "<title>T</title>new");
  const LinkTargets targets(site.selection, nullptr);
  site.dir.Write("arch/tarn/text/index.htm", "old copy");
  // Something in the way of the partial file makes the write fail.
  fs::create_directories(archive + "/tarn/text/.~index.htm.part");
  std::string error;
  EXPECT_FALSE(RewritePage(page, archive, targets, PlainOptions(), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadFileBytes(archive + "/tarn/text/index.htm"), "old copy");

  page.ArchiveName = "../../../escaped.htm";
  EXPECT_FALSE(RewritePage(page, archive, targets, PlainOptions(), &error));
  EXPECT_FALSE(fs::exists(site.dir.File("escaped.htm")));
  page.ArchiveName = "index.htm";
  page.Domain = "..";
  EXPECT_FALSE(RewritePage(page, archive, targets, PlainOptions(), &error));
  EXPECT_FALSE(fs::exists(site.dir.File("text/index.htm")));
}

TEST(RewritingPages, LargePageWithManyLinksIsRewrittenWhole) {
  std::vector<TCacheItem> items;
  const int kItems = 20000;
  items.reserve(kItems);
  for (int i = 0; i < kItems; ++i) {
    items.push_back(Item("http://big:80/p" + std::to_string(i) + ".htm",
                         "p" + std::to_string(i) + ".htm", 1, "big"));
  }
  std::vector<TCacheItem*> selection;
  for (auto& item : items) selection.push_back(&item);
  const LinkTargets targets(selection, nullptr);
  std::string page = "<title>Big</title>";
  for (int i = 0; i < 2000; ++i) {
    page +=
        "<LI><A HREF=\"p" + std::to_string(i * 7) + ".htm\">item " + std::to_string(i) + "</A>\r\n";
  }
  const std::string out = RewritePageText(page, "http://big:80/index.htm", targets, PlainOptions());
  std::size_t found = 0;
  for (std::size_t at = out.find("../../big/text/p"); at != std::string::npos;
       at = out.find("../../big/text/p", at + 1)) {
    ++found;
  }
  EXPECT_EQ(found, 2000u);
  EXPECT_EQ(out.find("notfound"), std::string::npos);
}

// Hostile pages: random mixtures of the bytes and fragments the reader
// reacts to. Under the sanitizer build this shows that no input reads out of
// bounds; the checks below hold for every page.
TEST(RewritingPagesDamage, RandomAndHostileMarkupIsHandled) {
  Site site;
  const LinkTargets targets(site.selection, &site.archive);
  LinkOptions all_on = PlainOptions();
  all_on.show_original_urls = true;
  all_on.emphasize_links = true;
  all_on.strikeout_links = true;
  const std::vector<std::string> pieces = {"<",
                                           ">",
                                           "<!--",
                                           "-->",
                                           "--",
                                           "\"",
                                           " ",
                                           "=",
                                           "#",
                                           "A HREF=",
                                           "IMG SRC=",
                                           "BASE HREF=",
                                           "META HTTP-EQUIV=Refresh CONTENT=\"0;URL=",
                                           "news.htm",
                                           "/A",
                                           "\t",
                                           std::string(1, '\0'),
                                           "\xff",
                                           "http://",
                                           "../",
                                           "./",
                                           "/",
                                           "mailto:",
                                           std::string(300, 'x'),
                                           "OBJECT DATA=",
                                           "INPUT SRC="};
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string page;
    const int count = static_cast<int>(random() % 40);
    for (int k = 0; k < count; ++k) page += pieces[random() % pieces.size()];
    for (const LinkOptions& options : {PlainOptions(), all_on}) {
      const std::string out =
          RewritePageText(page, "http://tarn:80/site/index.htm", targets, options);
      // Text before the first "<" is never touched.
      const std::size_t open = page.find('<');
      ASSERT_EQ(out.substr(0, open == std::string::npos ? out.size() : open + 1),
                page.substr(0, open == std::string::npos ? page.size() : open + 1));
      (void)PageTitleOf(page);
    }
  }
}

TEST(RewritingPagesDamage, EveryPrefixOfARealPage) {
  Site site;
  const LinkTargets targets(site.selection, &site.archive);
  LinkOptions options = PlainOptions();
  options.strikeout_links = true;
  options.emphasize_links = true;
  for (std::size_t length = 0; length <= kSitePage.size(); ++length) {
    const std::string_view page = kSitePage.substr(0, length);
    const std::string out = RewritePageText(page, site.items[0].URL, targets, options);
    if (page.find('<') == std::string_view::npos) {
      EXPECT_EQ(out, page);
    }
  }
}

}  // namespace
}  // namespace webhoard
