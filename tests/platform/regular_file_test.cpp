#include "platform/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

// What a cache folder may hold, and whether each may be read as a cached file.
TEST(RegularFile, OnlyRegularFilesInsideTheFolderAreReadNeverThroughALink) {
  testing::TempDir dir;
  const std::string secret = dir.Write("home/.ssh/id_rsa", "KEY");
  const std::string cache = dir.File("cache");
  dir.Write("cache/page.htm", "page");
  dir.Write("cache/sub/pic.gif", "GIF");
  fs::create_symlink(secret, cache + "/s.html");
  fs::create_symlink(dir.File("home/.ssh"), cache + "/keys");
  fs::create_symlink("page.htm", cache + "/alias.htm");
  ASSERT_EQ(::mkfifo((cache + "/pipe").c_str(), 0600), 0);
  fs::create_symlink("sub", cache + "/inner");  // a linked folder that stays inside
  struct Case {
    const char* name;
    bool readable;  // by OpenRegularFile / ReadRegularFile
    bool inside;    // IsRegularFileInside(cache)
    int error;
  };
  const Case cases[] = {
      {"page.htm", true, true, 0},
      {"sub/pic.gif", true, true, 0},
      {"s.html", false, false, ELOOP},      // a link to a file elsewhere
      {"alias.htm", false, false, ELOOP},   // even a link to a file beside it
      {"keys/id_rsa", true, false, 0},      // a regular file, reached through a linked folder
      {"sub", false, false, EISDIR},
      {"pipe", false, false, EINVAL},       // never blocks the reader
      {"missing.htm", false, false, ENOENT},
      {"inner/pic.gif", true, true, 0},
      {"./page.htm", true, true, 0},
      {"sub/../page.htm", true, true, 0},
      {"sub//pic.gif", true, true, 0},
      {"keys/../../home/.ssh/id_rsa", true, false, 0},
  };
  // The checker for many files of one folder answers as the full check,
  // for the folder written with and without its separator.
  RegularFilesInside inside(cache);
  RegularFilesInside inside_with_separator(cache + "/");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = cache + "/" + c.name;
    int error = 0;
    const auto bytes = ReadRegularFile(path, SIZE_MAX, &error);
    EXPECT_EQ(bytes.has_value(), c.readable);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(IsRegularFileInside(path, cache), c.inside);
    EXPECT_EQ(inside.Contains(path), c.inside);
    EXPECT_EQ(inside_with_separator.Contains(path), c.inside);
  }
  EXPECT_FALSE(inside.Contains(secret));
  EXPECT_FALSE(inside.Contains(cache));
  EXPECT_FALSE(IsRegularFileInside(secret, cache));
  int error = 0;
  EXPECT_FALSE(ReadRegularFile(cache + "/page.htm", 3, &error).has_value());
  EXPECT_EQ(error, EFBIG);
}

}  // namespace
}  // namespace webhoard
