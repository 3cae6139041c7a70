// How pages and style sheets of today's web are rewritten, one behaviour per
// group.
#include "archive/modern_page_rewriter.h"

#include <gtest/gtest.h>

#include "archive/link_rewriter.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

constexpr std::string_view kPageUrl = "http://host:80/dir/index.htm";

// The page http://host:80/dir/index.htm with a few archived targets.
class ModernRewriting : public ::testing::Test {
 protected:
  ModernRewriting() {
    Add("http://host:80/dir/page.htm", "page.htm");
    Add("http://host:80/dir/img.gif", "img.gif", 2);
    Add("http://host:80/dir/q?a=1&b=2", "q.htm");
    Add("http://host:80/css/site.css", "site.css");
    Add("http://cdn:80/lib.js", "lib.js", 1, "cdn");
    Add("http://host:80/dir/amp.htm", "a&b c#1%.htm");
    for (auto& item : owned_) selection_.push_back(&item);
    options_.show_original_urls = false;
    options_.strikeout_links = false;
    options_.modern_pages = true;
  }

  void Add(std::string url, std::string name, int mime = 1, std::string domain = "host") {
    TCacheItem item;
    item.URL = std::move(url);
    item.ArchiveName = std::move(name);
    item.MimeIndex = mime;
    item.Domain = std::move(domain);
    owned_.push_back(std::move(item));
  }

  struct Case {
    std::string in;
    std::string out;
  };
  void CheckPages(const std::vector<Case>& cases) {
    const LinkTargets targets(selection_, nullptr);
    for (const Case& c : cases) {
      EXPECT_EQ(RewriteModernPageText(c.in, kPageUrl, targets, options_), c.out) << c.in;
    }
  }

  std::vector<TCacheItem> owned_;
  std::vector<TCacheItem*> selection_;
  LinkOptions options_;
};

TEST_F(ModernRewriting, TagsAndAttributes) {
  const std::string long_class(300, 'x');
  CheckPages({
      {"<a href=\"page.htm\">", "<a href=\"../../host/text/page.htm\">"},
      {"<A HREF='page.htm#top' class=\"x y\">",
       "<A HREF='../../host/text/page.htm#top' class=\"x y\">"},
      {"<a class=\"" + long_class + "\" href=page.htm>",
       "<a class=\"" + long_class + "\" href=../../host/text/page.htm>"},
      {"<a href=\"https://HOST/dir/x/../page.htm\">", "<a href=\"../../host/text/page.htm\">"},
      {"<a href=\"q?a=1&amp;b=2\">", "<a href=\"../../host/text/q.htm\">"},
      {"<a href=q?a=1&b=2#f>", "<a href=../../host/text/q.htm#f>"},
      {"<a href=\"?a=2\">", "<a href=\"../../notfound.htm\">"},
      {"<a href=amp.htm>", "<a href=../../host/text/a%26b%20c%231%25.htm>"},
      {"<script src=\"//cdn/lib.js\" async></script>",
       "<script src=\"../../cdn/text/lib.js\" async></script>"},
      {"<link rel=stylesheet href=\"/css/site.css\">",
       "<link rel=stylesheet href=\"../../host/text/site.css\">"},
      // A srcset candidate not archived gives way to those that are.
      {"<img src=\"img.gif\" srcset=\"img.gif 1x, gone.gif 2x\">",
       "<img src=\"../../host/image/img.gif\" srcset=\"../../host/image/img.gif 1x\">"},
      {"<img srcset=\" gone.gif 480w,\n img.gif  960w , data:x 2x, gone.gif 3x\">",
       "<img srcset=\"../../host/image/img.gif  960w, data:x 2x\">"},
      {"<img srcset=\"gone.gif 1x, gone.png 2x\">",
       "<img srcset=\"../../images/notfound.gif 1x, ../../images/notfound.gif 2x\">"},
      {"<picture><source srcset=\"gone.gif 2x\"><source srcset=gone.gif><img src=img.gif>",
       "<picture><source srcset=\"\"><source srcset=\"\"><img src=../../host/image/img.gif>"},
      {"<source srcset=\"img.gif 480w,img.gif,\">",
       "<source srcset=\"../../host/image/img.gif 480w,../../host/image/img.gif,\">"},
      {"<video src=movie.mp4 poster=img.gif>",
       "<video src=../../notfound.htm poster=../../host/image/img.gif>"},
      {"<audio src=a.ogg><track src=t.vtt><source src=page.htm>",
       "<audio src=../../notfound.htm><track src=../../notfound.htm>"
       "<source src=../../host/text/page.htm>"},
      {"<iframe src=page.htm></iframe><frame src=gone.htm><embed src=gone.swf>",
       "<iframe src=../../host/text/page.htm></iframe><frame src=../../notfound.htm>"
       "<embed src=../../notfound.htm>"},
      {"<object data=\"page.htm\">", "<object data=\"../../host/text/page.htm\">"},
      {"<input type=\"IMAGE\" src=img.gif><input type=text src=img.gif>",
       "<input type=\"IMAGE\" src=../../host/image/img.gif><input type=text src=img.gif>"},
      {"<body background=\"img.gif\">", "<body background=\"../../host/image/img.gif\">"},
      {"<meta http-equiv=\"Refresh\" content=\"5; url='page.htm'\">",
       "<meta http-equiv=\"Refresh\" content=\"5; url='../../host/text/page.htm'\">"},
      {"<meta content=\"0;URL=page.htm\" http-equiv=refresh>",
       "<meta content=\"0;URL=../../host/text/page.htm\" http-equiv=refresh>"},
      {"<meta name=description content=\"page.htm\">",
       "<meta name=description content=\"page.htm\">"},
      {"<base href=\"http://host/dir/sub/x.htm\"><a href=\"../page.htm\">",
       "<!><a href=\"../../host/text/page.htm\">"},
      {"<div title=\"a > b\" data-x='<a href=page.htm>'>",
       "<div title=\"a > b\" data-x='<a href=page.htm>'>"},
  });
}

TEST_F(ModernRewriting, StyleInPages) {
  CheckPages({
      {"<div style=\"background:url(img.gif)\">",
       "<div style=\"background:url(../../host/image/img.gif)\">"},
      {"<p style='background: url(&quot;img.gif&quot;)'>",
       "<p style='background:&#32;url(&#34;../../host/image/img.gif&#34;)'>"},
      {"<style>@import \"/css/site.css\"; a{background:url('img.gif')} /* url(img.gif) */"
       "</style>",
       "<style>@import \"../../host/text/site.css\"; a{background:url('../../host/image/img.gif')}"
       " /* url(img.gif) */</style>"},
  });
}

TEST_F(ModernRewriting, WhatIsLeftAsWritten) {
  CheckPages({
      {"<script>if (a<b && c>d) x = \"<a href=page.htm>\";</script><a href=page.htm>",
       "<script>if (a<b && c>d) x = \"<a href=page.htm>\";</script>"
       "<a href=../../host/text/page.htm>"},
      {"<textarea><img src=img.gif></TEXTAREA >", "<textarea><img src=img.gif></TEXTAREA >"},
      {"<!-- <a href=page.htm> --><a href=page.htm>",
       "<!-- <a href=page.htm> --><a href=../../host/text/page.htm>"},
      {"<a href=\"data:text/html,x\"><a href=\"javascript:void(0)\"><a href=mailto:x@y>",
       "<a href=\"data:text/html,x\"><a href=\"javascript:void(0)\"><a href=mailto:x@y>"},
      {"<iframe src=about:blank><img src=\"blob:http://host/1\"><a href=#top><img src=\"\">",
       "<iframe src=about:blank><img src=\"blob:http://host/1\"><a href=#top><img src=\"\">"},
      {"a < b <3 <a href=\"page.htm", "a < b <3 <a href=\"page.htm"},
  });
}

TEST_F(ModernRewriting, MissingTargetsFollowTheUsersPreferences) {
  options_.show_original_urls = true;
  options_.strikeout_links = true;
  options_.emphasize_links = true;
  CheckPages({
      {"<a href=\"https://away.example/x?y=1#z\">x</a> <a href=page.htm>p</A>",
       "<a href=\"https://away.example/x?y=1#z\"><STRIKE>x</STRIKE></a> "
       "<a href=../../host/text/page.htm><B>p</B></A>"},
      {"<a href=gone.htm?x=1>", "<a href=\"http://host/dir/gone.htm?x=1\"><STRIKE>"},
      {"<img src=gone.gif><iframe src=gone.htm>",
       "<img src=../../images/notfound.gif><iframe src=../../notfound.htm>"},
  });
}

TEST_F(ModernRewriting, PagesOfHttpsAddressesLinkToHttpsCopies) {
  options_.show_original_urls = true;
  Add("https://host:443/dir/page.htm", "secure.htm");
  selection_.clear();
  for (auto& item : owned_) selection_.push_back(&item);
  const LinkTargets targets(selection_, nullptr);
  const std::string page = "<a href=page.htm><a href=gone.htm><a href=http://host/dir/page.htm>";
  EXPECT_EQ(RewriteModernPageText(page, "https://host:443/dir/index.htm", targets, options_),
            "<a href=../../host/text/secure.htm><a href=https://host/dir/gone.htm>"
            "<a href=../../host/text/page.htm>");
}

TEST_F(ModernRewriting, StyleSheets) {
  const LinkTargets targets(selection_, nullptr);
  const std::vector<Case> cases = {
      {"a{background:url(../dir/img.gif)}", "a{background:url(../../host/image/img.gif)}"},
      {"@import url(\"/dir/page.htm\") screen;",
       "@import url(\"../../host/text/page.htm\") screen;"},
      {"@IMPORT '../dir/page.htm';", "@IMPORT '../../host/text/page.htm';"},
      {"b{x:url( 'gone.png' )}", "b{x:url( '../../images/notfound.gif' )}"},
      {"c{x:url(data:image/png;base64,AAA=)}", "c{x:url(data:image/png;base64,AAA=)}"},
      {"/* url(img.gif) */ d{content:\"url(img.gif)\"}",
       "/* url(img.gif) */ d{content:\"url(img.gif)\"}"},
      {"e{x:myurl(img.gif)} f{x:url(img.gif", "e{x:myurl(img.gif)} f{x:url(img.gif"},
      {"g{x:url('img.gif)} h{}", "g{x:url('img.gif)} h{}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RewriteStyleSheetText(c.in, "http://host:80/css/site.css", targets, options_), c.out)
        << c.in;
  }
}

// Without modern_pages a page is written exactly as the classic reading
// writes it, and style sheets are not rewritten at all.
TEST_F(ModernRewriting, ClassicPagesStayAsTheyWere) {
  const std::string page =
      "<html><head><base href=\"http://host/dir/\"><style>a{background:url(img.gif)}</style>"
      "<link rel=stylesheet href='/css/site.css'><script>if(a<b)x='<img src=img.gif>'</script>"
      "</head><body style=\"background:url('img.gif')\"><img srcset=\"img.gif 1x\" src=img.gif>"
      "<a href=\"q?a=1&amp;b=2#f\" title='a b'>q</a><video poster=img.gif></body></html>";
  testing::TempDir dir;
  TCacheItem& item = owned_[0];
  item.URL = std::string(kPageUrl);
  item.ArchiveName = "index.htm";
  item.LocalFile = dir.Write("cache/index.htm", page);
  const LinkTargets targets(selection_, nullptr);
  for (const bool modern : {false, true}) {
    options_.modern_pages = modern;
    std::string error;
    ASSERT_TRUE(RewritePage(item, dir.File("arch"), targets, options_, &error)) << error;
    const std::string expected = modern ? RewriteModernPageText(page, kPageUrl, targets, options_)
                                        : RewritePageText(page, kPageUrl, targets, options_);
    EXPECT_EQ(ReadFileBytes(dir.File("arch/host/text/index.htm")), expected) << modern;
  }
  EXPECT_NE(RewritePageText(page, kPageUrl, targets, options_),
            RewriteModernPageText(page, kPageUrl, targets, options_));

  TCacheItem sheet;
  std::string unsaved;  // the test has no MIMETYPE.DAT to add the type to
  sheet.MimeIndex = LookupMimeType("text/css", &unsaved);
  EXPECT_TRUE(IsRewrittenItem(sheet, options_));
  options_.modern_pages = false;
  EXPECT_FALSE(IsRewrittenItem(sheet, options_));
}

TEST_F(ModernRewriting, HostileMarkupNeverBreaksTheRewriting) {
  const LinkTargets targets(selection_, nullptr);
  const std::vector<std::string> pages = {
      "<a href=\"page.htm",
      "<a href='page.htm>",
      "<a href=",
      "<!-- <a href=page.htm>",
      "<style>a{background:url(img.gif",
      "<style>@import \"x",
      "<div style=\"url(\">",
      "<script>",
      "<img srcset=\", , ,\">",
      "<meta http-equiv=refresh content=\"0;url='\">",
      "<a href=\"&#xFFFFFFFFFF;&#0;&#;&\">",
      std::string("<a\0href=page.htm\0>\0<img src=\"\0\">", 31),
      "<a " + std::string(200000, 'x') + "=\"" + std::string(200000, '/') + "page.htm\">",
      "<a href=\"" + std::string(100000, '.') + "/../" + std::string(100000, '?') + "\">",
  };
  for (const std::string& page : pages) {
    for (std::size_t cut = 0; cut <= page.size(); cut += 1 + cut / 4) {
      const std::string_view part = std::string_view(page).substr(0, cut);
      const std::string out = RewriteModernPageText(part, kPageUrl, targets, options_);
      const std::size_t open = part.find('<');
      const std::size_t kept = open == std::string_view::npos ? part.size() : open + 1;
      EXPECT_EQ(out.substr(0, kept), part.substr(0, kept));
      RewriteStyleSheetText(part, kPageUrl, targets, options_);
    }
  }
}

}  // namespace
}  // namespace webhoard
