#include "search/archive_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/file_util.h"
#include "support/archive_folder.h"

namespace webhoard {
namespace {

using testing::ArchiveFolder;

std::vector<std::string> Addresses(const SearchResult& result) {
  std::vector<std::string> out;
  for (const SearchHit& hit : result.hits) out.push_back(hit.address);
  return out;
}

class ArchiveSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    page_ = archive_.Add("http://news.example.com:80/index.html", 1, "index.htm",
                         "<html><body>Breaking NEWS about Kittens</body></html>");
    archive_.Add("http://news.example.com:8080/alt.html", 1, "alt.htm", "<p>dogs</p>");
    archive_.Add("http://img.example.com:80/cat.gif", 2, "cat.gif", "GIF89a kittens");
    archive_.Add("http://img.example.com:80/notes.txt", 4, "notes.txt", "kittens in plain text");
    archive_.Add("http://snd.example.com:80/x.wav", 27, "x.wav", "RIFF");
    archive_.Add("http://vid.example.com:80/x.mpg", 24, "x.mpg", "MPEG");
    archive_.Add("http://doc.example.com:80/x.pdf", 67, "x.pdf", "%PDF kittens");
    archive_.Add("http://gone.example.com:80/gone.html", 1, "gone.htm", nullptr);
    archive_.Save();
  }
  SearchResult Search(std::string_view url, std::string_view text) {
    return SearchArchive(archive_.folder(), url, text);
  }

  ArchiveFolder archive_;
  std::string page_;
};

TEST_F(ArchiveSearch, ByAddressIgnoresAsciiCaseAndUsesTheLinkForm) {
  SearchResult result = Search("NEWS", "");
  EXPECT_TRUE(result.error.empty()) << result.error;
  EXPECT_EQ(result.records_read, 8u);
  ASSERT_EQ(Addresses(result), (std::vector<std::string>{"http://news.example.com/index.html",
                                                         "http://news.example.com:8080/alt.html"}));
  EXPECT_EQ(result.hits[0].archive_file, page_);
  EXPECT_EQ(result.hits[0].icon, kSearchIconText);

  // The link form drops ":80", so ":80" finds only the other port.
  EXPECT_EQ(Addresses(Search(":80", "")),
            (std::vector<std::string>{"http://news.example.com:8080/alt.html"}));
  // Only A-Z change case: an upper-case umlaut does not find a lower one.
  EXPECT_TRUE(Search("\xC4", "").hits.empty());
}

TEST_F(ArchiveSearch, IconsFollowTheTypeAndMissingCopiesAreNeverListed) {
  SearchResult result = Search("example", "");
  std::vector<int> icons;
  for (const SearchHit& hit : result.hits) icons.push_back(hit.icon);
  EXPECT_EQ(icons,
            (std::vector<int>{kSearchIconText, kSearchIconText, kSearchIconImage, kSearchIconText,
                              kSearchIconAudio, kSearchIconVideo, kSearchIconOther}));
  for (const SearchHit& hit : result.hits) {
    EXPECT_EQ(hit.address.find("gone"), std::string::npos);
  }
  EXPECT_EQ(SearchIconOf(0), kSearchIconText);  // unknown types read as text/plain
  EXPECT_EQ(SearchIconOf(100000), kSearchIconText);
}

TEST_F(ArchiveSearch, ByPageTextFindsOnlyHtmlPages) {
  // Images, plain text and other files hold "kittens" too, but are not pages.
  EXPECT_EQ(Addresses(Search("", "KITTENS")),
            (std::vector<std::string>{"http://news.example.com/index.html"}));
  EXPECT_EQ(Addresses(Search("8080", "kittens")), (std::vector<std::string>{}));
  EXPECT_EQ(Addresses(Search("index", "breaking news")),
            (std::vector<std::string>{"http://news.example.com/index.html"}));
  EXPECT_TRUE(Search("nowhere", "").hits.empty());
}

TEST(PageText, TheWholePageIsSearchedAcrossBlocksAndNuls) {
  testing::TempDir dir;
  struct Case {
    std::string page;
    const char* text;
    bool found;
  };
  std::string with_nul = "abc";
  with_nul.push_back('\0');
  const Case cases[] = {
      {std::string(2046, 'x') + "needle", "needle", true},  // straddles the first block edge
      {std::string(2048 * 3 - 1, 'x') + "NEEDLE", "needle", true},
      {std::string(2048, 'y') + "NEEDLE", "needle", true},
      {with_nul + "needle", "needle", true},
      {with_nul + "needle", "c", true},
      {std::string(2047, 'n') + "e", "ne", true},
      {std::string(2048, 'q'), "qq", true},
      {std::string(2046, 'x') + "needl", "needle", false},
      {"", "a", false},
      {"\xC4", "\xE4", false},  // only A-Z change case
      {"abc", "", false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text + std::string(" in a page of ") + std::to_string(c.page.size()));
    EXPECT_EQ(FileContainsText(dir.Write(std::to_string(n++) + ".htm", c.page), c.text), c.found);
  }
  EXPECT_FALSE(FileContainsText(dir.File("missing.htm"), "a"));
}

TEST(SearchRequest, IsCheckedBeforeAnythingIsRead) {
  testing::TempDir dir;
  EXPECT_EQ(CheckSearchRequest("", "", "/no/such/folder"), std::string(kEnterSearchText));
  EXPECT_EQ(CheckSearchRequest("a", "", ""), std::string(kEnterArchiveFolder));
  EXPECT_EQ(CheckSearchRequest("a", "", dir.File("none")),
            "Couldn't find folder\r\n\r\n" + dir.File("none"));
  EXPECT_EQ(CheckSearchRequest("", "b", dir.path()), std::string(kNoArchiveInfoFile));
  dir.Write("archive.dat", "");
  EXPECT_EQ(CheckSearchRequest("", "b", dir.path()), std::nullopt);
  EXPECT_EQ(CheckSearchRequest("", "b", dir.path() + "/"), std::nullopt);
}

TEST(HostileCatalogue, NeverReadsOutsideTheArchiveFolder) {
  ArchiveFolder archive;
  // Copies that exist, but outside the archive or its type folders.
  archive.dir.Write("secret.htm", "kittens");
  archive.dir.Write("archive/x.com/text/secret.htm", "kittens");
  archive.AddRecord("http://x.com:80/a", 1, "../../../secret.htm");
  archive.AddRecord("http://x.com:80/b", 1, "..");
  archive.AddRecord("http://..:80/c", 1, "secret.htm");
  archive.AddRecord("http://x.com:80/d", 1, "");
  archive.Add("http://x.com:80/ok", 1, "ok.htm", "kittens");
  archive.Save();
  const SearchResult result = SearchArchive(archive.folder(), "", "kittens");
  EXPECT_EQ(Addresses(result), (std::vector<std::string>{"http://x.com/ok"}));
}

TEST(DamagedCatalogue, TruncationAndFlippedBytesEndTheSearchCleanly) {
  ArchiveFolder archive;
  for (int i = 0; i < 3; ++i) {
    archive.Add("http://site" + std::to_string(i) + ".com:80/p", 1, "p.htm", "kittens");
  }
  const std::string whole = archive.catalogue();
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    archive.dir.Write("archive/archive.dat", whole.substr(0, length));
    const SearchResult result = SearchArchive(archive.folder(), "", "kittens");
    EXPECT_LE(result.hits.size(), 3u);
    EXPECT_EQ(result.error.empty(), length == 0 || length == whole.size() ||
                                        length == whole.size() / 3 ||
                                        length == 2 * whole.size() / 3)
        << length;
  }
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (int flip : {0x01, 0x80, 0xFF}) {
      std::string damaged = whole;
      damaged[at] = static_cast<char>(damaged[at] ^ flip);
      archive.dir.Write("archive/archive.dat", damaged);
      EXPECT_LE(SearchArchive(archive.folder(), "site", "").hits.size(), 3u);
    }
  }
  // A record promising gigabytes is damage, not an allocation.
  std::string absurd = whole.substr(0, 16);
  absurd += std::string("\xFF\xFF\xFF\x7F\x01\x00\x00\x00\x01\x00\x00\x00", 12);
  archive.dir.Write("archive/archive.dat", absurd);
  EXPECT_FALSE(SearchArchive(archive.folder(), "a", "").error.empty());
}

TEST(StoppedSearch, AnswersAfterTheRecordInHand) {
  ArchiveFolder archive;
  for (int i = 0; i < 5; ++i) {
    archive.Add("http://s.com:80/" + std::to_string(i), 1, std::to_string(i) + ".htm", "x");
  }
  archive.Save();
  int calls = 0;
  const SearchResult result =
      SearchArchive(archive.folder(), "s.com", "", [&] { return ++calls < 2; });
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.hits.size(), 2u);
}

}  // namespace
}  // namespace webhoard
