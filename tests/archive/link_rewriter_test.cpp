// How the tags of an archived page are rewritten, one behaviour per group.
#include "archive/link_rewriter.h"

#include <gtest/gtest.h>

namespace webhoard {
namespace {

// The page http://host:80/dir/index.htm, archived together with a few of
// the things it links to.
class Rewriting : public ::testing::Test {
 protected:
  Rewriting() {
    owned_.reserve(16);
    Add("http://host:80/dir/page.htm", "page.htm");
    Add("http://host:80/dir/img.gif", "img.gif", 2);
    Add("http://host:80/dir/sub/", "sub.htm");
    Add("http://host:80/dir/next.htm", "next.htm");
    Add("http://host:80/dir/my", "my.htm");
    Add("http://host:80/dir/applet.class", "applet.exe", 40, "host");
    Add("http://other:80/x/o.htm", "o.htm", 1, "other");
    for (auto& item : owned_) selection_.push_back(&item);
    options_.show_original_urls = false;
    options_.emphasize_links = false;
    options_.strikeout_links = false;
    options_.emphasizing_tag = "B";
    options_.de_emphasizing_tag = "/B";
  }

  void Add(std::string url, std::string name, int mime = 1, std::string domain = "host") {
    TCacheItem item;
    item.URL = std::move(url);
    item.ArchiveName = std::move(name);
    item.MimeIndex = mime;
    item.Domain = std::move(domain);
    owned_.push_back(std::move(item));
  }

  std::string Rewrite(std::string_view page) {
    const LinkTargets targets(selection_, nullptr);
    return RewritePageText(page, "http://host:80/dir/index.htm", targets, options_);
  }

  struct Case {
    std::string in;
    std::string out;
  };
  void Check(const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(Rewrite(c.in), c.out) << "input: " << c.in;
  }

  std::vector<TCacheItem> owned_;
  std::vector<TCacheItem*> selection_;
  LinkOptions options_;
};

TEST_F(Rewriting, LinksToArchivedItemsLeadToTheirCopies) {
  Check({
      {"<A HREF=page.htm>x</A>", "<A HREF=../../host/text/page.htm>x</A>"},
      {"<a href=\"page.htm\">x</a>", "<a href=\"../../host/text/page.htm\">x</a>"},
      {"<A HREF=page.htm#top>", "<A HREF=../../host/text/page.htm#top>"},
      {"<A HREF=sub>", "<A HREF=../../host/text/sub.htm>"},
      {"<A HREF=/dir/next.htm>", "<A HREF=../../host/text/next.htm>"},
      {"<A HREF=http://OTHER/x/o.htm>", "<A HREF=../../other/text/o.htm>"},
      {"<IMG SRC=\"img.gif\" ALT=\"x\">", "<IMG SRC=\"../../host/image/img.gif\" ALT=\"x\">"},
      {"<BODY BACKGROUND=img.gif>", "<BODY BACKGROUND=../../host/image/img.gif>"},
      {"<FRAME SRC=page.htm NAME=main>", "<FRAME SRC=../../host/text/page.htm NAME=main>"},
      {"<APPLET CODE=applet.class>", "<APPLET CODE=../../host/application/applet.exe>"},
      {"<OBJECT DATA=page.htm>", "<OBJECT DATA=../../host/text/page.htm>"},
      {"<INPUT TYPE=image SRC=img.gif>", "<INPUT TYPE=image SRC=../../host/image/img.gif>"},
      {"<A NAME=x HREF=page.htm TARGET=_top>",
       "<A NAME=x HREF=../../host/text/page.htm TARGET=_top>"},
      {"<A HREF=page.htm><IMG SRC=img.gif>",
       "<A HREF=../../host/text/page.htm><IMG SRC=../../host/image/img.gif>"},
      // Control bytes inside a value are dropped from the link and replaced.
      {"<A HREF=pa\tge.htm>", "<A HREF=../../host/text/page.htm>"},
      {std::string("<A HREF=page.htm\0>", 18), "<A HREF=../../host/text/page.htm>"},
  });
}

TEST_F(Rewriting, MissingTargetsLeadToTheNotFoundPageOrImage) {
  Check({
      {"<A HREF=gone.htm>x</A>", "<A HREF=../../notfound.htm>x</A>"},
      {"<A HREF=gone.htm#top>", "<A HREF=../../notfound.htm>"},
      {"<IMG SRC=gone.gif>", "<IMG SRC=../../images/notfound.gif>"},
      {"<IMG LOWSRC=gone.gif>", "<IMG LOWSRC=../../notfound.htm>"},
      {"<FRAME SRC=gone.htm>", "<FRAME SRC=../../notfound.htm>"},
      {"<IFRAME SRC=gone.htm>", "<IFRAME SRC=../../notfound.htm>"},
      {"<EMBED SRC=gone.mid>", "<EMBED SRC=../../notfound.htm>"},
      {"<BGSOUND SRC=gone.mid>", "<BGSOUND SRC=../../images/notfound.gif>"},
      {"<TD BACKGROUND=gone.gif>", "<TD BACKGROUND=../../notfound.htm>"},
      {"<A HREF=\"news:comp.x\">", "<A HREF=\"../../notfound.htm\">"},
  });
  options_.show_original_urls = true;
  Check({
      {"<A HREF=gone.htm#top>", "<A HREF=http://host/dir/gone.htm>"},
      {"<AREA HREF=/gone.htm>", "<AREA HREF=http://host/gone.htm>"},
      {"<A HREF=http://far:8080/x>", "<A HREF=http://far:8080/x>"},
      // Images and frames never point back at the web.
      {"<IMG SRC=gone.gif>", "<IMG SRC=../../images/notfound.gif>"},
      {"<FRAME SRC=gone.htm>", "<FRAME SRC=../../notfound.htm>"},
      // The link form of nothing is nothing: the value stays.
      {"<A HREF=\"news:comp.x\">", "<A HREF=\"news:comp.x\">"},
  });
}

TEST_F(Rewriting, ValuesThatAreNotLinksStay) {
  Check({
      {"<A HREF=\"#top\">", "<A HREF=\"#top\">"},
      {"<A HREF=\"mailto:a@b.c\">", "<A HREF=\"mailto:a@b.c\">"},
      {"<A HREF=MAILTO:a@b.c>", "<A HREF=MAILTO:a@b.c>"},
      {"<IMG USEMAP=#map SRC=img.gif>", "<IMG USEMAP=#map SRC=../../host/image/img.gif>"},
      {"<A HREF=\"\" NAME=x>", "<A HREF=\"\" NAME=x>"},
      {"<SCRIPT SRC=page.htm>", "<SCRIPT SRC=page.htm>"},
      {"<LINK HREF=page.htm>", "<LINK HREF=page.htm>"},
      {"<INPUT HREF=page.htm>", "<INPUT HREF=page.htm>"},
      {"<EMBED DATA=page.htm>", "<EMBED DATA=page.htm>"},
      {"<OBJECT DATA=\"data:abc\">", "<OBJECT DATA=\"data:abc\">"},
      {"<TABLE CONTENT=page.htm>", "<TABLE CONTENT=page.htm>"},
      // Only the word after HREF counts, not a value that looks like one.
      {"<A TITLE=HREFS HREF=page.htm>", "<A TITLE=HREFS HREF=../../host/text/page.htm>"},
  });
}

TEST_F(Rewriting, ValueRulesEndQuotedValuesAtTheirFirstSpace) {
  Check({
      {"<A HREF=\"my page.htm\">", "<A HREF=\"../../host/text/my.htm page.htm\">"},
      {"<A HREF='page.htm'>", "<A HREF=../../notfound.htm>"},
      {"<A HREF = page.htm>", "<A HREF = ../../host/text/page.htm>"},
      {"<A HREF=page.htm<B>", "<A HREF=../../host/text/page.htm<B>"},
  });
}

TEST_F(Rewriting, ShortTagsAreNeverRewritten) {
  Check({
      {"<A HREF=x>", "<A HREF=../../notfound.htm>"},  // 9 bytes: the shortest link tag
      {"<A HREF=>", "<A HREF=>"},
      {"<A B=x.h>", "<A B=x.h>"},
      {"a < b and c > d", "a < b and c > d"},
      {"trailing <", "trailing <"},
  });
}

TEST_F(Rewriting, CommentsAreCopiedUnchanged) {
  Check({
      {"<!-- <A HREF=page.htm> --><A HREF=page.htm>",
       "<!-- <A HREF=page.htm> --><A HREF=../../host/text/page.htm>"},
      {"<!----><A HREF=page.htm>", "<!----><A HREF=../../host/text/page.htm>"},
      // Without any "-->" the comment ends at the first ">", and comments
      // are not looked for again in this page.
      {"<!-- <A HREF=page.htm> <A HREF=page.htm>",
       "<!-- <A HREF=page.htm> <A HREF=../../host/text/page.htm>"},
      {"<!-- a> <A HREF=page.htm> <!-- b <A HREF=page.htm> c",
       "<!-- a> <A HREF=../../host/text/page.htm> <!-- b <A HREF=page.htm> c"},
      {"<!--", "<!--"},
  });
}

TEST_F(Rewriting, BaseTagChangesTheBaseAndVanishes) {
  Check({
      {"<BASE HREF=\"http://other:80/x/\"><A HREF=o.htm>", "<!><A HREF=../../other/text/o.htm>"},
      {"<A HREF=o.htm><BASE HREF=http://other/x/y.htm><A HREF=o.htm>",
       "<A HREF=../../notfound.htm><!><A HREF=../../other/text/o.htm>"},
      {"<BASE TARGET=_top><A HREF=page.htm>",
       "<BASE TARGET=_top><A HREF=../../host/text/page.htm>"},
  });
}

TEST_F(Rewriting, MetaRefreshLeadsToTheArchivedPage) {
  Check({
      {"<META HTTP-EQUIV=Refresh CONTENT=\"0;URL=next.htm\">",
       "<META HTTP-EQUIV=Refresh CONTENT=\"0;URL=../../host/text/next.htm\">"},
      {"<meta http-equiv=\"refresh\" content=\"5; url=next.htm\">",
       "<meta http-equiv=\"refresh\" content=\"5; url=next.htm\">"},
      {"<META HTTP-EQUIV=Refresh CONTENT=\"0;URL=gone.htm\">",
       "<META HTTP-EQUIV=Refresh CONTENT=\"0;URL=../../notfound.htm\">"},
      // A refresh named after the CONTENT does not count; no refresh at all does.
      {"<META CONTENT=\"0;URL=next.htm\" HTTP-EQUIV=Refresh>",
       "<META CONTENT=\"0;URL=next.htm\" HTTP-EQUIV=Refresh>"},
      {"<META NAME=x CONTENT=\"URL=next.htm\">",
       "<META NAME=x CONTENT=\"URL=../../host/text/next.htm\">"},
      {"<META HTTP-EQUIV=Refresh CONTENT=\"10\">", "<META HTTP-EQUIV=Refresh CONTENT=\"10\">"},
      {"<META HTTP-EQUIV=Refresh HREF=page.htm>", "<META HTTP-EQUIV=Refresh HREF=page.htm>"},
  });
}

TEST_F(Rewriting, EmphasisAndStrikeOutWrapTheLinkText) {
  options_.emphasize_links = true;
  options_.strikeout_links = true;
  Check({
      {"<A HREF=page.htm>t</A>", "<A HREF=../../host/text/page.htm><B>t</B></A>"},
      {"<A HREF=gone.htm>t</a>", "<A HREF=../../notfound.htm><STRIKE>t</STRIKE></a>"},
      {"<A HREF=page.htm>x<A HREF=gone.htm>y</A>",
       "<A HREF=../../host/text/page.htm><B>x<A "
       "HREF=../../notfound.htm><STRIKE>y</STRIKE></B></A>"},
      // Pending wrappers are dropped at the end of the page.
      {"<A HREF=page.htm>t", "<A HREF=../../host/text/page.htm><B>t"},
      // Only anchors are wrapped.
      {"<AREA HREF=gone.htm>", "<AREA HREF=../../notfound.htm>"},
      {"<IMG SRC=img.gif>", "<IMG SRC=../../host/image/img.gif>"},
  });
  options_.show_original_urls = true;
  Check({{"<A HREF=gone.htm>t</A>", "<A HREF=http://host/dir/gone.htm><STRIKE>t</STRIKE></A>"}});
  options_.emphasizing_tag = "FONT SIZE=+1";
  options_.de_emphasizing_tag = "/FONT";
  Check(
      {{"<A HREF=page.htm>t</A>", "<A HREF=../../host/text/page.htm><FONT SIZE=+1>t</FONT></A>"}});
  options_.emphasizing_tag = "";
  options_.de_emphasizing_tag = "";
  Check({{"<A HREF=page.htm>t</A>", "<A HREF=../../host/text/page.htm>t</A>"}});
  options_.emphasize_links = false;
  options_.strikeout_links = false;
  Check({{"<A HREF=gone.htm>t</A>", "<A HREF=http://host/dir/gone.htm>t</A>"}});
}

TEST_F(Rewriting, LongAndUnterminatedTags) {
  const std::string filler(230, 'f');
  Check({
      // A rewritten tag may grow past 255 bytes and keeps its end.
      {"<A HREF=page.htm TITLE=" + filler + ">t",
       "<A HREF=../../host/text/page.htm TITLE=" + filler + ">t"},
      // Links beyond the first 255 bytes of a tag are not looked at.
      {"<A TITLE=" + filler + filler + " HREF=page.htm>",
       "<A TITLE=" + filler + filler + " HREF=page.htm>"},
      // A tag cut off by the end of the page is taken as far as it goes.
      {"<A HREF=page.htm", "<A HREF=../../host/text/page.htm"},
      {"<A HREF=\"page.htm", "<A HREF=\"../../host/text/page.htm"},
  });
}

}  // namespace
}  // namespace webhoard
