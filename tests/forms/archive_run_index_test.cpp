// The index pages an archive run leaves behind.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive_run_fixture.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

using testing::ArchiveRunFixture;

TEST(ArchiveRunIndex, RunWritesTheIndexAndReindexKeepsIt) {
  ArchiveRunFixture f;
  f.AddItem("http://www.site.com:80/", 1, "<html><title>Home &amp; away</title>Welcome</html>");
  f.AddItem("http://www.site.com:80/logo.gif", 2, "GIF89a\x02\x01\x03\x01xx");
  f.AddItem("http://Other.org:80/x/data.pdf", 67, nullptr);  // its copy fails
  EXPECT_EQ(f.Run(), kModalOk);
  EXPECT_TRUE(f.run->report().error.empty()) << f.run->report().error;

  // The failed copy is not recorded, so its domain is not listed.
  const std::string list = ReadFileBytes(f.ArchiveFile("indlist.htm")).value_or("");
  EXPECT_EQ(list.find("other.org"), std::string::npos) << list;
  EXPECT_NE(list.find("SRC=images/lfolder.gif>www.site.com</A>"), std::string::npos);
  const std::string text = ReadFileBytes(f.ArchiveFile("www.site.com/text_index.htm")).value_or("");
  EXPECT_NE(text.find("<A HREF=text/www.site.com.htm><B>Home &amp; away</B></A><BR>\r\n"
                      "Welcome ...<BR>\r\n"),
            std::string::npos)
      << text;
  const std::string thumbs =
      ReadFileBytes(f.ArchiveFile("www.site.com/thumbnail_index.htm")).value_or("");
  EXPECT_NE(thumbs.find(" ALT=\"logo.gif (258x259)\">"), std::string::npos) << thumbs;
  EXPECT_FALSE(FileExists(f.ArchiveFile("other.org/other_index.htm")));

  // A re-index (no selection) writes the same pages from the catalogue.
  f.cache.clear();
  ASSERT_TRUE(std::filesystem::remove(f.ArchiveFile("1st_page.htm")));
  f.Run();
  EXPECT_TRUE(FileExists(f.ArchiveFile("1st_page.htm")));
  EXPECT_EQ(ReadFileBytes(f.ArchiveFile("www.site.com/text_index.htm")).value_or(""), text);
  const std::string relisted = ReadFileBytes(f.ArchiveFile("indlist.htm")).value_or("");
  EXPECT_EQ(relisted.find("other.org"), std::string::npos);
}

}  // namespace
}  // namespace webhoard
