#include "archive/archive_naming.h"

#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/ascii.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace webhoard {
namespace {

TEST(ArchiveNaming, NamesFromUrlsFollowTheTypeAndPathRules) {
  struct Case {
    const char* url;
    int mime_index;
    const char* name;
  };
  const Case cases[] = {
      {"http://host:80/", 1, "host.htm"},
      {"http://host:80/docs/Intro.html", 1, "Intro.htm"},
      {"http://host:80/cgi/find.cgi?q=a-b", 1, "find.htm"},
      {"http://host:80/img/top-bar.gif", 2, "topbar.gif"},
      {"http://host:80/files/report.pdf", 67, "report.pdf"},
      {"http://host:80/get/data", 40, "data.exe"},
      {"http://host:8080/x/", 1, "x.htm"},
      // Only pages, GIFs, JPEGs and plain texts lose their own extension.
      {"http://host:80/a/archive.tar.gz", 49, "archive.tar.gz"},
      {"http://host:80/a/notes.TXT", 4, "notes.txt"},
      // A segment of only dropped characters still yields a name.
      {"http://host:80/%20%20", 1, "2020.htm"},
      {"http://host:80/---", 1, ".htm"},
      // Types added after the built-in ones get "htm".
      {"http://host:80/a/movie", 90, "movie.htm"},
      {"http://host:80/a/movie", 0, "movie.htm"},
      // Bytes above 126 and separators never reach a file name.
      {"http://host:80/a/\xE4x\\y.png", 66, "y.png"},  // a backslash reads as "/"
      {"http://host:80/a/\xE4x;y.png", 66, "xy.png"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NameFromURL(c.url, c.mime_index), c.name) << c.url;
  }
}

// Browsers read archived pages from the disk and take a style sheet's type
// from its name: "site.cssv2" would not apply.
TEST(ArchiveNaming, StyleSheetsAndScriptsOfTodaysCachesEndInTheirExtension) {
  struct Case {
    const char* url;
    int mime_index;
    const char* type;
    const char* name;
  };
  const Case cases[] = {
      {"http://host:80/css/site.css", 74, "text/css", "site.css"},
      {"http://host:80/css/site.css?v=2", 74, "text/css", "site.css"},
      {"http://host:80/wp/style.min.CSS?ver=6.4", 74, "TEXT/CSS", "style.min.CSS"},
      {"http://fonts:80/css2?family=Sans", 74, "text/css", "css2.css"},
      {"http://host:80/theme/", 74, "text/css", "theme.css"},
      {"http://host:80/js/app.js?v=3", 46, "application/x-javascript", "app.js"},
      {"http://host:80/js/bundle", 75, "text/javascript", "bundle.js"},
      {"http://host:80/a/b.png?v=2", 66, "image/png", "b.png"},
      {"http://host:80/a/b.html?lang=en", 1, "text/html", "b.htm"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(NameFromStoredURL(c.url, c.mime_index, c.type), c.name) << c.url;
  }
  const std::string long_name =
      NameFromStoredURL("http://host:80/" + std::string(300, 'x') + ".css?v=1", 74, "text/css");
  EXPECT_LE(long_name.size(), kShortTextLength);
  EXPECT_TRUE(long_name.ends_with("x.css")) << long_name;
}

TEST(ArchiveNaming, ExtensionsCoverTheBuiltInTypesOnly) {
  EXPECT_EQ(ExtensionFor(1), "htm");
  EXPECT_EQ(ExtensionFor(30), "ra");
  EXPECT_EQ(ExtensionFor(58), "exe");
  EXPECT_EQ(ExtensionFor(72), "exe");
  EXPECT_EQ(ExtensionFor(73), "htm");
  EXPECT_EQ(ExtensionFor(0), "htm");
  EXPECT_EQ(ExtensionFor(-5), "htm");
}

TEST(ArchiveNaming, NumberedNamesCountUp) {
  EXPECT_EQ(NextNumberedName("index.htm"), "index(1).htm");
  EXPECT_EQ(NextNumberedName("index(1).htm"), "index(2).htm");
  EXPECT_EQ(NextNumberedName("a(7).gif"), "a(8).gif");
  EXPECT_EQ(NextNumberedName("ab().htm"), "ab()(1).htm");
  EXPECT_EQ(NextNumberedName("(7).gif"), "(7)(1).gif");  // too short to hold a counter
  EXPECT_EQ(NextNumberedName("noext"), "noext(1)");
  EXPECT_EQ(NextNumberedName(".htm"), "(1).htm");
  EXPECT_EQ(NextNumberedName("a(99).b.c"), "a(99).b(1).c");
  // A counter too large to be ours is kept as part of the name.
  EXPECT_EQ(NextNumberedName("a(12345678901).htm"), "a(12345678901)(1).htm");
}

TEST(ArchiveNaming, NumberingAtTheLengthLimitKeepsChanging) {
  std::string name = std::string(251, 'n') + ".htm";
  ASSERT_EQ(name.size(), 255u);
  std::set<std::string> seen{name};
  for (int i = 0; i < 120; ++i) {
    name = NextNumberedName(name);
    ASSERT_LE(name.size(), 255u);
    ASSERT_TRUE(seen.insert(name).second) << "repeated " << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".htm");
  }
  // A long extension gives way to the counter rather than the other way round.
  const std::string long_ext = "a." + std::string(253, 'e');
  const std::string next = NextNumberedName(long_ext);
  EXPECT_LE(next.size(), 255u);
  EXPECT_NE(next, long_ext);
}

}  // namespace
}  // namespace webhoard

namespace webhoard {
namespace {

TEST(ArchiveLayout, TypeFoldersUseTheWholeMimePosition) {
  testing::TempDir dir;
  LoadMimeTypes(dir.path());
  for (int i = kBuiltInMimeTypeCount + 1; i <= 300; ++i) {
    ASSERT_EQ(LookupMimeType("kind" + std::to_string(i) + "/x"), i);
  }
  // 300 - 256 = 44, an "application" type: the folder must not be borrowed.
  EXPECT_EQ(TypeFolderOf(300), "kind300");
  EXPECT_EQ(TypeFolderOf(44), "application");
  LoadMimeTypes(dir.File("elsewhere"));
}

}  // namespace
}  // namespace webhoard
