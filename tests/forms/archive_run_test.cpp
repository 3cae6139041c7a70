// Whole archive runs over generated caches, driven as a user would drive the
// progress window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "archive_run_fixture.h"
#include "cache/http/content_decoding.h"
#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "platform/program_data_folder.h"
#include "support/encoded_body.h"

namespace webhoard {
namespace {

using testing::ArchiveRunFixture;
using testing::CatalogueRecords;
using Records = std::vector<std::pair<std::string, std::string>>;

TEST(ArchiveRun, ArchivesASmallSiteIntoANewFolder) {
  ArchiveRunFixture f;
  f.AddItem("http://www.site.com:80/", 1,
            "<html><title>Home</title><a href=\"docs/a.html\">A</a>"
            "<img src=\"logo.gif\"><a href=\"gone.html\">Gone</a></html>");
  f.AddItem("http://www.site.com:80/docs/a.html", 1, "<title>A</title><a href=\"../\">up</a>");
  f.AddItem("http://www.site.com:80/logo.gif", 2, "GIF89a");
  f.AddItem("http://www.site.com:80/files/report.pdf", 67, "%PDF");
  f.AddItem("http://www.site.com:80/odd", 0, "???");       // no known type
  f.AddItem("http://other.org:8080/x/data", 40, nullptr);  // cached file is gone

  EXPECT_EQ(f.Run(), kModalOk);
  ASSERT_EQ(f.prompter.messages().size(), 3u);
  EXPECT_EQ(f.prompter.messages()[0].text,
            "Archive folder\r\n\r\n" + f.ArchiveFile("") + "\r\n\r\ndoes not exist. Create?");
  // The item whose cached file is gone is named with the reason.
  EXPECT_EQ(f.prompter.messages()[1].text,
            std::string(kItemsNotArchived) + "http://other.org:8080/x/data\r\n  cannot read " +
                f.cache[5]->LocalFile + ": No such file or directory\r\n");
  EXPECT_EQ(f.prompter.messages()[1].kind, MessageKind::kWarning);
  EXPECT_EQ(f.prompter.messages()[2].text,
            "Archiving completed.\r\nThe index page is located at:\r\n\r\n" +
                f.ArchiveFile("1st_page.htm") + "\r\n\r\nDo you wish to load this index now?");

  // The item without a type gets a name but no copy and no record, nor does
  // the one without a cached file.
  EXPECT_EQ(CatalogueRecords(f.Catalogue()),
            (Records{{"http://www.site.com:80/", "www.site.com.htm"},
                     {"http://www.site.com:80/docs/a.html", "a.htm"},
                     {"http://www.site.com:80/logo.gif", "logo.gif"},
                     {"http://www.site.com:80/files/report.pdf", "report.pdf"}}));
  EXPECT_EQ(f.cache[4]->ArchiveName, "odd.htm");
  EXPECT_FALSE(FileExists(f.ArchiveFile("www.site.com/text/odd.htm")));
  EXPECT_EQ(ReadFileBytes(f.ArchiveFile("www.site.com/image/logo.gif")).value(), "GIF89a");
  EXPECT_EQ(ReadFileBytes(f.ArchiveFile("www.site.com/application/report.pdf")).value(), "%PDF");

  const std::string home =
      ReadFileBytes(f.ArchiveFile("www.site.com/text/www.site.com.htm")).value();
  EXPECT_NE(home.find("../../www.site.com/text/a.htm"), std::string::npos) << home;
  EXPECT_NE(home.find("../../www.site.com/image/logo.gif"), std::string::npos) << home;
  EXPECT_EQ(home.find("\"gone.html\""), std::string::npos) << home;
  EXPECT_EQ(f.cache[0]->Title, "Home");
  EXPECT_TRUE(FileExists(f.ArchiveFile("images/notfound.gif")) ||
              !FileExists(ProgramDataFolder() + "images/notfound.gif"));

  const auto& report = f.run->report();
  EXPECT_EQ(report.copied, 4u);
  EXPECT_EQ(report.failed, 1u);
  EXPECT_EQ(report.untyped, 1u);
  EXPECT_TRUE(report.save.ok);
}

TEST(ArchiveRun, NamesNeverCollideWithTakenNamesOrStrayFiles) {
  ArchiveRunFixture f;
  f.prompter.Answer(MessageResult::kYes);
  f.AddItem("http://h.com:80/a/page.htm", 1, "one");
  f.AddItem("http://h.com:80/b/page.html", 1, "two");
  f.AddItem("http://h.com:80/c/index.htm", 1, "three");
  std::filesystem::create_directories(f.ArchiveFile("h.com/text"));
  f.dir.Write("archive/h.com/text/index.htm", "not ours");

  f.Run();
  EXPECT_EQ(f.cache[0]->ArchiveName, "page.htm");
  EXPECT_EQ(f.cache[1]->ArchiveName, "page(1).htm");
  EXPECT_EQ(f.cache[2]->ArchiveName, "index(1).htm");
  EXPECT_EQ(ReadFileBytes(f.ArchiveFile("h.com/text/index.htm")).value(), "not ours");
}

TEST(ArchiveRun, ArchivingAUrlAgainReplacesItsCopyInPlace) {
  ArchiveRunFixture f;
  f.AddItem("http://h.com:80/one.gif", 2, "old one");
  f.AddItem("http://h.com:80/two.gif", 2, "two");
  f.Run();
  const std::string first = f.Catalogue();

  ArchiveRunFixture g;
  g.settings = f.settings;
  g.AddItem("http://h.com:80/three.gif", 2, "three");
  g.AddItem("http://h.com:80/one.gif", 2, "new one");
  g.Run();
  EXPECT_EQ(CatalogueRecords(g.Catalogue()), (Records{{"http://h.com:80/one.gif", "one.gif"},
                                                      {"http://h.com:80/two.gif", "two.gif"},
                                                      {"http://h.com:80/three.gif", "three.gif"}}));
  EXPECT_EQ(ReadFileBytes(g.ArchiveFile("h.com/image/one.gif")).value(), "new one");
  EXPECT_FALSE(FileExists(g.ArchiveFile("h.com/image/one(1).gif")));

  // A re-index of an untouched archive writes the catalogue byte for byte.
  ArchiveRunFixture r;
  r.settings = f.settings;
  const std::string before = r.Catalogue();
  EXPECT_EQ(r.Run(), kModalOk);
  EXPECT_EQ(r.Catalogue(), before);
  EXPECT_EQ(r.prompter.messages().back().text.substr(0, 23), "Re-indexing completed.\r");
  EXPECT_NE(first, before);
}

TEST(ArchiveRun, ProgressStepsAndCancelTakeEffectBetweenItems) {
  ArchiveRunFixture f;
  for (int i = 0; i < 4; ++i) {
    f.AddItem("http://h.com:80/" + std::to_string(i) + ".gif", 2, "x");
  }
  std::filesystem::create_directories(f.ArchiveFile(""));
  std::vector<std::pair<std::string, int>> steps;
  f.prompter.OnPendingMessages([&] {
    const TExportForm* form = f.run->form();
    steps.emplace_back(form->Label4.caption, form->Gauge1.position);
  });
  f.Run();
  const std::vector<std::pair<std::string, int>> expected = {{"Creating unique filenames...", 0},
                                                             {"Creating unique filenames...", 25},
                                                             {"Creating unique filenames...", 50},
                                                             {"Creating unique filenames...", 75},
                                                             {"Archiving files...", 0},
                                                             {"Archiving files...", 25},
                                                             {"Archiving files...", 50},
                                                             {"Archiving files...", 75},
                                                             {"Archiving files...", 100},
                                                             {"Indexing...", 0},
                                                             {"Indexing...", 100}};
  EXPECT_EQ(steps, expected);

  // Cancel pressed while the second copy is made: it is finished, nothing
  // after it is copied, the catalogue is saved and the index written for
  // what was archived, and no box is shown.
  ArchiveRunFixture c;
  for (int i = 0; i < 4; ++i) c.AddItem("http://h.com:80/" + std::to_string(i) + ".gif", 2, "x");
  std::filesystem::create_directories(c.ArchiveFile(""));
  c.prompter.OnPendingMessages([&] {
    TExportForm* form = const_cast<TExportForm*>(c.run->form());
    if (form->Label4.caption == "Archiving files..." && form->Gauge1.position == 25) {
      form->CancelButtonClick();
    }
  });
  EXPECT_EQ(c.Run(), kModalCancel);
  EXPECT_EQ(CatalogueRecords(c.Catalogue()),
            (Records{{"http://h.com:80/0.gif", "0.gif"}, {"http://h.com:80/1.gif", "1.gif"}}));
  const std::string index = ReadFileBytes(c.ArchiveFile("h.com/image_index.htm")).value_or("");
  EXPECT_NE(index.find("image/1.gif"), std::string::npos) << index;
  EXPECT_EQ(index.find("image/2.gif"), std::string::npos) << index;
  EXPECT_TRUE(c.prompter.messages().empty());
  EXPECT_TRUE(c.run->report().cancelled);
  EXPECT_EQ(c.run->report().remaining, 2u);
}

TEST(ArchiveRun, RefusedOrImpossibleFolderStartsNothing) {
  ArchiveRunFixture no;
  no.AddItem("http://h.com:80/a.gif", 2, "x");
  no.prompter.Answer(MessageResult::kNo);
  EXPECT_EQ(no.Run(), kModalCancel);
  EXPECT_FALSE(DirectoryExists(no.ArchiveFile("")));
  EXPECT_FALSE(no.run->report().started);

  // A folder below a file cannot be made: the error box, then the idle
  // window closes when the user presses Cancel.
  ArchiveRunFixture bad;
  bad.dir.Write("blocker", "file");
  bad.settings.current_archive_folder = bad.dir.File("blocker/archive");
  bad.AddItem("http://h.com:80/a.gif", 2, "x");
  EXPECT_EQ(bad.Run(), kModalCancel);
  ASSERT_EQ(bad.prompter.messages().size(), 2u);
  EXPECT_EQ(bad.prompter.messages()[1].text,
            "Could not create folder.\r\nCheck the archive folder settings.");
  EXPECT_EQ(bad.prompter.messages()[1].kind, MessageKind::kError);
}

TEST(ArchiveRun, ACatalogueThatCannotBeSavedIsReportedAndTheOldOneKept) {
  ArchiveRunFixture f;
  f.AddItem("http://h.com:80/a.gif", 2, "x");
  f.Run();
  const std::string before = f.Catalogue();
  ASSERT_FALSE(before.empty());

  ArchiveRunFixture g;
  g.settings = f.settings;
  g.AddItem("http://h.com:80/b.gif", 2, "y");
  g.AddItem("http://h.com:80/a.gif", 2, "x again");
  // A folder in the way of this process's temporary catalogue.
  std::filesystem::create_directories(
      g.ArchiveFile("archive.tmp." + std::to_string(::getpid()) + "/blocked"));
  EXPECT_EQ(g.Run(), kModalCancel);
  EXPECT_FALSE(g.run->report().save.ok);
  EXPECT_EQ(g.Catalogue(), before);
  bool reported = false;
  for (const auto& m : g.prompter.messages()) {
    reported |= m.kind == MessageKind::kError &&
                m.text.rfind("Could not save the archive catalogue.", 0) == 0;
    EXPECT_EQ(m.text.find("completed"), std::string::npos) << m.text;
  }
  EXPECT_TRUE(reported);
  // The copy the run added is gone again; the one it replaced stays, as the
  // old catalogue names it.
  EXPECT_FALSE(FileExists(g.ArchiveFile("h.com/image/b.gif")));
  EXPECT_EQ(ReadFileBytes(g.ArchiveFile("h.com/image/a.gif")).value_or(""), "x again");
  EXPECT_EQ(g.run->report().removed, 1u);
}

TEST(ArchiveRun, InternetExplorerEditionNamesCopiesAfterTheCachedFiles) {
  ArchiveRunFixture f;
  TCacheItem& a = f.AddItem("http://h.com:80/x?id=1", 1, "<p>a</p>");
  TCacheItem& b = f.AddItem("http://h.com:80/y?id=2", 1, "<p>b</p>");
  a.LocalFile = f.dir.Write("cache/ABCD1234/page[1].htm", "<p>a</p>");
  b.LocalFile = f.dir.Write("cache/EFGH5678/page[1].htm", "<p>b</p>");
  f.Run(Edition::kInternetExplorer);
  EXPECT_EQ(a.ArchiveName, "page[1].htm");
  EXPECT_EQ(b.ArchiveName, "page[1](1).htm");
}

// Today's browsers keep bodies inside shared cache files, often compressed.
TEST(ArchiveRun, StoredBodiesAreDecodedKeptAsStoredOrFailTheirChecksum) {
  ArchiveRunFixture f;
  const std::string page = "<html><title>Zipped</title><img src=\"logo.gif\"></html>";
  const std::string gzip = testing::GzipOf(page);
  const std::string picture = "GIF89a-still-in-zstd";
  const std::string pdf = "%PDF-1.4";
  const std::string shared =
      f.dir.Write("cache/data_1", "head" + gzip + "mid" + picture + "mid" + pdf + "tail");
  TCacheItem& home = f.AddItem("http://z.com:80/", 1, nullptr);
  TCacheItem& logo = f.AddItem("http://z.com:80/logo.gif", 2, nullptr);
  TCacheItem& report = f.AddItem("http://z.com:80/r.pdf", 67, nullptr);
  home.Body = StoredBody{shared, 4, gzip.size(), "gzip", Crc32(gzip)};
  logo.Body = StoredBody{shared, 7 + gzip.size(), picture.size(), "zstd", std::nullopt};
  report.Body =
      StoredBody{shared, 10 + gzip.size() + picture.size(), pdf.size(), "", Crc32(pdf) + 1};

  EXPECT_EQ(f.Run(), kModalOk);
  const std::string home_copy = ReadFileBytes(f.ArchiveFile("z.com/text/z.com.htm")).value_or("");
  EXPECT_NE(home_copy.find("../../z.com/image/logo.gif"), std::string::npos) << home_copy;
  EXPECT_EQ(home.Title, "Zipped");
  EXPECT_EQ(ReadFileBytes(f.ArchiveFile("z.com/image/logo.gif")), picture);
  EXPECT_FALSE(FileExists(f.ArchiveFile("z.com/application/r.pdf")));
  const auto& r = f.run->report();
  EXPECT_EQ(r.copied, 2u);
  EXPECT_EQ(r.undecoded, 1u);
  ASSERT_EQ(r.failures.size(), 1u);
  EXPECT_EQ(r.failures[0].reason, "cannot read " + shared + ": the stored body fails its checksum");
  EXPECT_NE(f.prompter.messages().back().text.find(
                "1 of the items were archived undecoded, compressed as the cache stored them."),
            std::string::npos);
}

}  // namespace
}  // namespace webhoard
