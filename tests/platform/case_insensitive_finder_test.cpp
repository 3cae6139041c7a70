// The case-blind file look-up over a real folder.
#include "platform/case_insensitive_finder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/file_name_case.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

TEST(CaseInsensitiveFinderTest, ListsEachFolderOnceAndPrefersExactNames) {
  TempDir dir;
  if (testing::IgnoresCase(dir)) GTEST_SKIP() << "the file system itself ignores case";
  for (int i = 0; i < 200; ++i) dir.Write("SUB/F" + std::to_string(i) + ".GIF", "x");
  dir.Write("Both.txt", "upper");
  dir.Write("both.TXT", "lower");
  std::filesystem::create_directories(dir.File("Kind.DAT"));
  dir.Write("kind.dat", "file");
  CaseInsensitiveFinder finder;
  const std::string folder = dir.path() + "/";
  for (int i = 0; i < 200; ++i) {
    const std::string name = "sub/f" + std::to_string(i) + ".gif";
    EXPECT_EQ(finder.Find(folder, name), folder + "SUB/F" + std::to_string(i) + ".GIF");
  }
  EXPECT_EQ(finder.folders_listed(), 2u);
  EXPECT_EQ(finder.Find(folder, "both.TXT"), folder + "both.TXT");  // exact wins
  EXPECT_EQ(finder.Find(folder, "BOTH.txt"), folder + "Both.txt");  // lowest in byte order
  // The lower spelling is a folder: the file under the other spelling is found.
  EXPECT_EQ(finder.Find(folder, "KIND.DAT"), folder + "kind.dat");
  EXPECT_FALSE(finder.Find(folder, "sub"));  // a folder is no file
  EXPECT_FALSE(finder.Find(folder, "sub/"));
  EXPECT_FALSE(finder.Find(folder + "missing/", "x"));
}

}  // namespace
}  // namespace webhoard
