// The index page set, compared with whole files: a change to any template
// shows up here as a difference in one page.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/clock.h"
#include "common/date_time.h"
#include "common/file_util.h"
#include "index/build_index.h"
#include "index/domain_pages.h"
#include "index/page_file.h"
#include "support/temp_dir.h"
#include "test_images.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

const std::string kHeadStart = Lines({
    "<HTML><HEAD><BASE TARGET=\"_top\"></HEAD>",
    "<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>",
    "<TABLE BORDER=1 BGCOLOR=#CCCCCC CELLPADDING=4 CELLSPACING=0 WIDTH=100% HEIGHT=34>",
    "<TR><TD><NOBR>&nbsp;",
});
const std::string kHeadEnd = Lines({"</TD></TR></TABLE>", "<B><FONT SIZE=2 FACE=ARIAL>"});

std::string Forward(std::string_view to) {
  return Lines({"<HTML>", "<HEAD>",
                "<META HTTP-EQUIV=REFRESH CONTENT=\"0; URL=" + std::string(to) + "\">", "</HEAD>",
                "</HTML>"});
}

class IndexPages : public ::testing::Test {
 protected:
  IndexPages() : folder_(dir_.File("archive/")) {
    LoadMimeTypes(dir_.File("program/"));
    std::filesystem::create_directories(folder_);
  }

  // Adds an archived item and its file. `domain` overrides the one of the URL.
  TCacheItem& Add(const std::string& url, std::string_view mime, const std::string& name,
                  const std::string& title = "", const std::string& contents = "x",
                  const std::string& domain = "") {
    auto item = std::make_unique<TCacheItem>();
    item->URL = url;
    item->MimeIndex = mime.empty() ? 0 : LookupMimeType(mime);
    item->Title = title;
    item->ArchiveName = name;
    item->Domain = domain.empty() ? DomainOfStoredUrl(url) : domain;
    const std::string path = *ArchivePathOf(folder_, *item);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFileAtomically(path, contents);
    items_.push_back(std::move(item));
    return *items_.back();
  }

  IndexBuildReport Build(bool detailed = true) {
    const double day = *EncodeDateTime({2026, 12, 8, 10, 30, 0, 0});
    ScopedFixedClock clock(day);
    IndexProgress progress;
    progress.set_phase = [this](const std::string& text) { phases_.push_back(text); };
    progress.set_progress = [this](int percent) { percents_.push_back(percent); };
    return BuildIndex(folder_, items_, detailed, progress);
  }

  std::string Page(const std::string& relative) const {
    return ReadFileBytes(JoinPath(folder_, relative)).value_or("<no file>");
  }

  testing::TempDir dir_;
  std::string folder_;
  TCacheItemList items_;
  std::vector<std::string> phases_;
  std::vector<int> percents_;
};

TEST_F(IndexPages, TopLevelPagesFollowTheirTemplates) {
  Add("http://a.com:80/x.html", "text/html", "x.htm");
  Add("http://a.com:80/y.gif", "image/gif", "y.gif");
  Build();
  EXPECT_EQ(Page("1st_page.htm"),
            Lines({"<HTML>", "<HEAD>", "<TITLE>Webhoard - Offline Index</TITLE>", "</HEAD>",
                   "<FRAMESET COLS=30%,*>", "<FRAME SRC=indlist.htm NAME=DOMAINS MARGINWIDTH=0>",
                   "<FRAME SRC=indpage.htm NAME=FILES MARGINWIDTH=0>", "</FRAMESET>", "<NOFRAMES>",
                   "The Webhoard index page is located <A HREF=indlist.htm>here</A>", "</NOFRAMES>",
                   "</HTML>"}));
  EXPECT_EQ(Page("notfound.htm"),
            Lines({"<HTML>", "<HEAD>", "<TITLE>Webhoard - Offline Index</TITLE>", "</HEAD>",
                   "<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>", "<FONT SIZE=5 FACE=ARIAL>",
                   "<HR><BR>", "<CENTER>", "This page is not available.<BR><BR>", "<FONT SIZE=4>",
                   "Use the browser back button to<BR>", "return to the previous page.", "</FONT>",
                   "</CENTER>", "<BR><HR>", "</FONT>", "</BODY>", "</HTML>"}));
  EXPECT_EQ(
      Page("indpage.htm"),
      Lines({"<HTML>",
             "<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066><CENTER>",
             "<BR><IMG WIDTH=250 HEIGHT=75 SRC=images/Webhoard.gif>",
             "<BR>",
             "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>",
             "<TR><TD ALIGN=RIGHT HEIGHT=10>&nbsp</TD>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=38 HEIGHT=18 ALIGN=ABSMIDDLE "
             "SRC=images/lfolder.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Domain item</FONT></TD></TR>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/text.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Text file</FONT></TD></TR>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/image.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Image file</FONT></TD></TR>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/audio.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Audio file</FONT></TD></TR>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/video.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Video file</FONT></TD></TR>",
             "<TR><TD ALIGN=RIGHT HEIGHT=30><IMG WIDTH=20 HEIGHT=18 SRC=images/other.gif></TD>",
             "<TD><FONT SIZE=3 FACE=ARIAL>&nbsp;Other file</FONT></TD></TR>",
             "</TABLE><BR>",
             "<IMG WIDTH=197 HEIGHT=74 SRC=images/Tarnlogo.gif><BR>",
             "<FONT SIZE=2 FACE=ARIAL>This archive holds 2 files from 1 web site, readable "
             "without a connection.</FONT>",
             "</CENTER></BODY></HTML>"}));
}

TEST_F(IndexPages, DomainListIsSortedWithoutRegardToCase) {
  Add("http://beta:80/a.html", "text/html", "a.htm");
  Add("http://gamma:80/a.html", "text/html", "a.htm");
  Add("http://alpha:80/a.html", "text/html", "a.htm", "", "x", "Alpha");
  Add("http://alpha:80/b.html", "text/html", "b.htm", "", "x", "ALPHA");  // listed once
  auto& no_url = Add("http://zeta:80/a.html", "text/html", "a.htm");
  no_url.URL.clear();
  EXPECT_EQ(DomainListOf(items_), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
  Build();
  EXPECT_EQ(
      Page("indlist.htm"),
      Lines({"<HTML><HEAD><BASE TARGET=FILES>", "<TITLE>Webhoard - Offline Index</TITLE></HEAD>",
             "<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>",
             "<TABLE BORDER=1 BGCOLOR=#CCCCCC CELLPADDING=4 CELLSPACING=0 WIDTH=100% HEIGHT=34>",
             "<TR><TD><NOBR><FONT SIZE=2 FACE=ARIAL>&nbsp;&nbsp;Index created - 12/08/26"
             "</FONT></NOBR></TD></TR></TABLE>",
             "<B><FONT SIZE=2 FACE=ARIAL>",
             "<NOBR><IMG BORDER=0 ALIGN=TOP SRC=images/ofolder.gif>Domains</NOBR><BR>",
             "<NOBR><A HREF=Alpha/text_index.htm><IMG WIDTH=38 HEIGHT=18 BORDER=0 ALIGN=TOP "
             "SRC=images/folder.gif>Alpha</A></NOBR><BR>",
             "<NOBR><A HREF=beta/text_index.htm><IMG WIDTH=38 HEIGHT=18 BORDER=0 ALIGN=TOP "
             "SRC=images/folder.gif>beta</A></NOBR><BR>",
             "<NOBR><A HREF=gamma/text_index.htm><IMG WIDTH=38 HEIGHT=18 BORDER=0 ALIGN=TOP "
             "SRC=images/lfolder.gif>gamma</A></NOBR><BR>",
             "<BR><BR>", "</FONT></B></BODY></HTML>"}));
  EXPECT_EQ(phases_, std::vector<std::string>{"Indexing..."});
  EXPECT_EQ(percents_, (std::vector<int>{0, 0, 50, 100}));
  EXPECT_FALSE(FileExists(JoinPath(folder_, "zeta/text_index.htm")));
}

TEST_F(IndexPages, NothingToListRemovesTheEntryPageOnly) {
  WriteFileAtomically(JoinPath(folder_, "1st_page.htm"), "old");
  WriteFileAtomically(JoinPath(folder_, "indlist.htm"), "old list");
  auto& item = Add("http://a.com:80/x.html", "text/html", "x.htm");
  item.URL.clear();
  EXPECT_EQ(Build().domains, 0u);
  EXPECT_FALSE(FileExists(JoinPath(folder_, "1st_page.htm")));
  EXPECT_EQ(Page("indlist.htm"), "old list");
  EXPECT_TRUE(percents_.empty());
}

TEST_F(IndexPages, SingleDomainJumpsToFullProgress) {
  Add("http://a.com:80/x.html", "text/html", "x.htm");
  Build();
  EXPECT_EQ(percents_, (std::vector<int>{0, 100}));
  EXPECT_NE(Page("indlist.htm").find("SRC=images/lfolder.gif>a.com</A>"), std::string::npos);
}

TEST_F(IndexPages, TextPageWithDetailedIndex) {
  Add("http://a.com:80/dir/intro.html", "text/html", "intro.htm", "Intro page",
      "<title>Intro</title><p>Hello   there</p>");
  Add("http://a.com:80/dir/", "text/html", "index.htm", "", "");
  Add("http://a.com:8080/" + std::string(60, 'p'), "", "p.htm", "", "body");
  Add("http://a.com:80/pic.gif", "image/gif", "pic.gif", "", testing::MakeGif(4, 4));
  Build();
  const std::string long_url = "http://a.com:8080/" + std::string(60, 'p');
  EXPECT_EQ(
      Page("a.com/text_index.htm"),
      kHeadStart +
          Lines({"<IMG ALIGN=ABSMIDDLE ALT=\"3 text files\" SRC=../images/dtext.gif>"
                 "<A HREF=image_index.htm onMouseOver=\"window.status='List image files';return "
                 "true\" TARGET=FILES><IMG BORDER=0 ALIGN=ABSMIDDLE ALT=\"1 image files\" "
                 "SRC=../images/uImage.gif></A>"
                 "<IMG ALIGN=ABSMIDDLE SRC=../images/gAudio.gif>"
                 "<IMG ALIGN=ABSMIDDLE SRC=../images/gVideo.gif>"
                 "<IMG ALIGN=ABSMIDDLE SRC=../images/gOther.gif>"
                 "<FONT SIZE=2 FACE=ARIAL>&nbsp;&nbsp;Exploring a.com</FONT>"}) +
          kHeadEnd + "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>" +
          Lines({
              "<TR><TD VALIGN=TOP><A HREF=http://a.com/dir/intro.html><IMG BORDER=0 WIDTH=20 "
              "HEIGHT=18 ALIGN=TOP SRC=../images/text.gif></A></TD><TD><FONT SIZE=2 "
              "FACE=ARIAL><A HREF=text/intro.htm><B>Intro page</B></A><BR>",
              "Hello there ...<BR>",
              "<FONT SIZE=1><A HREF=http://a.com/dir/intro.html>http://a.com/dir/intro.html</A>"
              "<BR>&nbsp;</FONT>",
              "</FONT></TD></TR>",
              "<TR><TD VALIGN=TOP><A HREF=http://a.com/dir/><IMG BORDER=0 WIDTH=20 "
              "HEIGHT=18 ALIGN=TOP SRC=../images/text.gif></A></TD><TD><FONT SIZE=2 "
              "FACE=ARIAL><A HREF=text/index.htm><B>No Title</B></A><BR>",
              "<FONT SIZE=1><A HREF=http://a.com/dir/>http://a.com/dir/</A><BR>&nbsp;</FONT>",
              "</FONT></TD></TR>",
              "<TR><TD VALIGN=TOP><A HREF=" + long_url +
                  "><IMG BORDER=0 WIDTH=20 HEIGHT=18 ALIGN=TOP SRC=../images/text.gif></A></TD>"
                  "<TD><FONT SIZE=2 FACE=ARIAL><A HREF=text/p.htm><B>" +
                  std::string(50, 'p') + "</B></A><BR>",
              "body...<BR>",
              "<FONT SIZE=1><A HREF=" + long_url + ">..." + long_url.substr(long_url.size() - 60) +
                  "</A><BR>&nbsp;</FONT>",
              "</FONT></TD></TR>",
              "</TABLE>",
              "</BODY></HTML>",
          }));
  // The shown address of 61 characters is cut, of 60 it is whole.
  EXPECT_EQ(long_url.size(), 78u);
}

TEST_F(IndexPages, TextPageWithoutDetailsAndWithUnreadableExcerpt) {
  // Link URLs of 61 and 60 characters.
  const std::string q_url = "http://a.com/" + std::string(48, 'q');
  const std::string r_url = "http://a.com/" + std::string(47, 'r');
  Add("http://a.com:80/" + std::string(48, 'q'), "text/html", "q.htm", "Q");
  Add("http://a.com:80/" + std::string(47, 'r'), "text/html", "r.htm", "R");
  Build(false);
  const std::string page = Page("a.com/text_index.htm");
  EXPECT_EQ(page.substr(page.find("<TABLE BORDER=0")),
            "<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>" +
                Lines({"<TR><TD VALIGN=TOP><A HREF=" + q_url +
                           "><IMG BORDER=0 WIDTH=20 HEIGHT=18 ALIGN=TOP "
                           "SRC=../images/text.gif></A></TD><TD><FONT SIZE=2 FACE=ARIAL><A "
                           "HREF=text/q.htm><B>Q</B></A><BR>",
                       "</FONT></TD></TR>",
                       "<TR><TD VALIGN=TOP><A HREF=" + r_url +
                           "><IMG BORDER=0 WIDTH=20 HEIGHT=18 ALIGN=TOP "
                           "SRC=../images/text.gif></A></TD><TD><FONT SIZE=2 FACE=ARIAL><A "
                           "HREF=text/r.htm><B>R</B></A><BR>",
                       "</FONT></TD></TR>", "</TABLE>", "</BODY></HTML>"}));

  // With details, a page whose file is gone keeps a whole row: the address
  // line and the closing line are there, only the excerpt is missing.
  std::filesystem::remove(*ArchivePathOf(folder_, *items_[0]));
  Build(true);
  const std::string detailed = Page("a.com/text_index.htm");
  const std::string q_row = "HREF=text/q.htm><B>Q</B></A><BR>\r\n<FONT SIZE=1><A HREF=" + q_url +
                            ">..." + q_url.substr(1) +
                            "</A><BR>&nbsp;</FONT>\r\n</FONT></TD></TR>\r\n";
  EXPECT_NE(detailed.find(q_row), std::string::npos) << detailed;
  EXPECT_NE(detailed.find("x...<BR>\r\n<FONT SIZE=1><A HREF=" + r_url + ">" + r_url + "</A>"),
            std::string::npos);
}

TEST_F(IndexPages, DomainWithOnlyImages) {
  Add("http://img.com:80/a/one.gif", "image/gif", "one.gif", "", testing::MakeGif(640, 480));
  Add("http://img.com:80/a/", "image/jpeg", "index.jpg", "", testing::MakeJfifOfSize(300, 20));
  Add("http://img.com:80/b.png", "image/png", "b.png", "", "\x89PNG\r\n\x1a\nxxxxxxxxxx");
  Build();
  EXPECT_EQ(Page("img.com/text_index.htm"), Forward("image_index.htm"));
  EXPECT_EQ(Page("img.com/audio_index.htm"), Forward("video_index.htm"));
  EXPECT_EQ(Page("img.com/video_index.htm"), Forward("other_index.htm"));
  EXPECT_EQ(Page("img.com/other_index.htm"), "");
  const std::string buttons_other_grey =
      "<IMG ALIGN=ABSMIDDLE SRC=../images/gAudio.gif><IMG ALIGN=ABSMIDDLE "
      "SRC=../images/gVideo.gif><IMG ALIGN=ABSMIDDLE SRC=../images/gOther.gif><FONT SIZE=2 "
      "FACE=ARIAL>&nbsp;&nbsp;Exploring img.com</FONT>";
  EXPECT_EQ(
      Page("img.com/image_index.htm"),
      kHeadStart +
          Lines({"<IMG ALIGN=ABSMIDDLE SRC=../images/gtext.gif>"
                 "<IMG ALIGN=ABSMIDDLE ALT=\"3 image files\" SRC=../images/dImage.gif>" +
                 buttons_other_grey}) +
          kHeadEnd +
          Lines({"<NOBR><A HREF=thumbnail_index.htm TARGET=FILES><IMG BORDER=0 ALIGN=TOP "
                 "SRC=../images/image.gif>Thumbnail Index (3 images)</A></NOBR><BR>",
                 "<NOBR><A HREF=http://img.com/a/one.gif><IMG BORDER=0 ALIGN=TOP "
                 "SRC=../images/image.gif></A><A HREF=image/one.gif>one.gif</A></NOBR><BR>",
                 "<NOBR><A HREF=http://img.com/a/><IMG BORDER=0 ALIGN=TOP "
                 "SRC=../images/image.gif></A><A HREF=image/index.jpg>Image file</A></NOBR><BR>",
                 "<NOBR><A HREF=http://img.com/b.png><IMG BORDER=0 ALIGN=TOP "
                 "SRC=../images/image.gif></A><A HREF=image/b.png>b.png</A></NOBR><BR>",
                 "<BR><BR>", "</BODY></HTML>"}));
  EXPECT_EQ(
      Page("img.com/thumbnail_index.htm"),
      kHeadStart +
          Lines({"<IMG ALIGN=ABSMIDDLE SRC=../images/gtext.gif>"
                 "<A HREF=image_index.htm onMouseOver=\"window.status='List image files';return "
                 "true\" TARGET=FILES><IMG BORDER=0 ALIGN=ABSMIDDLE ALT=\"3 image files\" "
                 "SRC=../images/uImage.gif></A>" +
                 buttons_other_grey}) +
          kHeadEnd +
          Lines({"<A HREF=image/one.gif onMouseOver=\"window.status='http://img.com/a/one.gif';"
                 "return true\"><IMG WIDTH=81 HEIGHT=61 HSPACE=5 VSPACE=5 BORDER=1 ALIGN=MIDDLE "
                 "SRC=image/one.gif ALT=\"one.gif (640x480)\"></A>",
                 "<A HREF=image/index.jpg onMouseOver=\"window.status='http://img.com/a/';"
                 "return true\"><IMG WIDTH=150 HEIGHT=10 HSPACE=5 VSPACE=5 BORDER=1 ALIGN=MIDDLE "
                 "SRC=image/index.jpg ALT=\"Other file (300x20)\"></A>",
                 "</BODY></HTML>"}));
}

TEST_F(IndexPages, DomainWithOnlyAnOtherFileForwardsAlongTheChain) {
  Add("http://docs.org:80/paper.pdf", "application/pdf", "paper.pdf");
  Build();
  EXPECT_EQ(Page("docs.org/text_index.htm"), Forward("image_index.htm"));
  EXPECT_EQ(Page("docs.org/image_index.htm"), Forward("audio_index.htm"));
  EXPECT_EQ(Page("docs.org/audio_index.htm"), Forward("video_index.htm"));
  EXPECT_EQ(Page("docs.org/video_index.htm"), Forward("other_index.htm"));
  EXPECT_EQ(Page("docs.org/thumbnail_index.htm"), "");
  EXPECT_EQ(Page("docs.org/other_index.htm"),
            kHeadStart +
                Lines({"<IMG ALIGN=ABSMIDDLE SRC=../images/gtext.gif>"
                       "<IMG ALIGN=ABSMIDDLE SRC=../images/gImage.gif>"
                       "<IMG ALIGN=ABSMIDDLE SRC=../images/gAudio.gif>"
                       "<IMG ALIGN=ABSMIDDLE SRC=../images/gVideo.gif>"
                       "<IMG ALIGN=ABSMIDDLE ALT=\"1 other files\" SRC=../images/dOther.gif>"
                       "<FONT SIZE=2 FACE=ARIAL>&nbsp;&nbsp;Exploring docs.org</FONT>"}) +
                kHeadEnd +
                Lines({"<NOBR><A HREF=http://docs.org/paper.pdf><IMG BORDER=0 ALIGN=TOP "
                       "SRC=../images/other.gif></A><A HREF=application/paper.pdf>paper.pdf</A>"
                       "</NOBR><BR>",
                       "<BR><BR>", "</BODY></HTML>"}));
}

TEST_F(IndexPages, AudioAndVideoPagesAndUnknownTypes) {
  Add("http://m.com:80/s.wav", "audio/x-wav", "s.wav");
  Add("http://m.com:80/v/", "video/mpeg", "v.mpg");
  auto& unknown = Add("http://m.com:80/u", "", "u.htm");
  unknown.MimeIndex = 200;  // past the list: text/plain, folder "text"
  ASSERT_TRUE(FileExists(JoinPath(folder_, "m.com/text/u.htm")));
  Build();
  const std::string audio = Page("m.com/audio_index.htm");
  EXPECT_NE(audio.find(Lines({"<NOBR><A HREF=http://m.com/s.wav><IMG BORDER=0 ALIGN=TOP "
                              "SRC=../images/audio.gif></A><A HREF=audio/s.wav>s.wav</A></NOBR>"
                              "<BR>",
                              "<BR><BR>", "</BODY></HTML>"})),
            std::string::npos);
  EXPECT_NE(audio.find("<IMG ALIGN=ABSMIDDLE ALT=\"1 audio files\" SRC=../images/dAudio.gif>"),
            std::string::npos);
  EXPECT_NE(Page("m.com/video_index.htm").find("<A HREF=video/v.mpg>Video file</A>"),
            std::string::npos);
  EXPECT_NE(Page("m.com/text_index.htm").find("<A HREF=text/u.htm><B>u</B>"), std::string::npos);
}

TEST_F(IndexPages, ArchivedValuesCannotAddMarkup) {
  Add("http://evil.com:80/<script>x.html", "text/html", "a b#c.htm",
      "<script>alert('title')</script>", "<p>&lt;ok&gt; <b>bold</b> 1 > 0</p>");
  Add("http://evil.com:80/x\"y'z.gif", "image/gif", "x.gif", "", testing::MakeGif(2, 2));
  Build();
  const std::string text = Page("evil.com/text_index.htm");
  EXPECT_EQ(text.find("<script"), std::string::npos);
  EXPECT_NE(text.find("<B>&lt;script&gt;alert('title')&lt;/script&gt;</B>"), std::string::npos);
  EXPECT_NE(text.find("<A HREF=text/a%20b%23c.htm>"), std::string::npos);
  EXPECT_NE(text.find("<A HREF=http://evil.com/&#60;script&#62;x.html>"), std::string::npos);
  // The excerpt keeps the page's own references and loses its "<".
  EXPECT_NE(text.find("&lt;ok&gt; bold 1 &gt; 0 ...<BR>"), std::string::npos) << text;
  const std::string thumbs = Page("evil.com/thumbnail_index.htm");
  EXPECT_NE(thumbs.find("window.status='http://evil.com/x\\x22y\\x27z.gif';return true\""),
            std::string::npos)
      << thumbs;
  EXPECT_NE(thumbs.find("ALT=\"x&quot;y'z.gif (2x2)\""), std::string::npos);
  const std::string images = Page("evil.com/image_index.htm");
  EXPECT_NE(images.find("<A HREF=http://evil.com/x&#34;y&#39;z.gif>"), std::string::npos);
}

TEST_F(IndexPages, ForgedSchemesGetNoLiveLink) {
  auto& item = Add("http://h.com:80/a.html", "text/html", "a.htm");
  // A port other than 80 keeps the address as it is stored.
  item.URL = "javascript:0/alert(1)";
  Build();
  const std::string text = Page("h.com/text_index.htm");
  EXPECT_EQ(text.find("HREF=javascript"), std::string::npos) << text;
  EXPECT_NE(text.find("<A HREF=../notfound.htm>"), std::string::npos);
}

TEST_F(IndexPages, FailureToWriteAPageEndsTheBuildAndKeepsEarlierPages) {
  Add("http://a.com:80/x.html", "text/html", "x.htm");
  Add("http://b.com:80/x.html", "text/html", "x.htm");
  // b.com's folder exists but a folder stands where its first page goes.
  std::filesystem::create_directories(JoinPath(folder_, "b.com/text_index.htm/inside"));
  WriteFileAtomically(JoinPath(folder_, "b.com/image_index.htm"), "old page");
  EXPECT_THROW(Build(), IndexPageError);
  EXPECT_TRUE(FileExists(JoinPath(folder_, "a.com/thumbnail_index.htm")));
  EXPECT_TRUE(FileExists(JoinPath(folder_, "1st_page.htm")));
  EXPECT_EQ(Page("b.com/image_index.htm"), "old page");
  EXPECT_FALSE(FileExists(JoinPath(folder_, "b.com/text_index.htm.tmp")));
}

TEST(IndexTypes, FirstFiveCharactersDecideExactly) {
  EXPECT_EQ(IndexTypeOfMime("text/html"), kIndexText);
  EXPECT_EQ(IndexTypeOfMime("textual"), kIndexOther);
  EXPECT_EQ(IndexTypeOfMime("Image/gif"), kIndexOther);
  EXPECT_EQ(IndexTypeOfMime("imagery"), kIndexImage);
  EXPECT_EQ(IndexTypeOfMime("audio/basic"), kIndexAudio);
  EXPECT_EQ(IndexTypeOfMime("video/mpeg"), kIndexVideo);
  EXPECT_EQ(IndexTypeOfMime("vid"), kIndexOther);
  EXPECT_EQ(DomainProgress(0, 3), 0);
  EXPECT_EQ(DomainProgress(1, 3), 50);
  EXPECT_EQ(DomainProgress(2, 3), 100);
  EXPECT_EQ(DomainProgress(0, 1), 100);
}

}  // namespace
}  // namespace webhoard
