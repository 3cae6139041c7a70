#include "platform/short_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

// Whatever form the system gives, it must name the same file, and a path
// the system cannot shorten comes back as it was.
TEST(ShortPathName, NamesTheSameFileOrIsThePathItself) {
  TempDir dir;
  const std::string long_name = dir.Write(
      "A folder with spaces and a long name/" + std::string(150, 'x') + " page.htm", "x");
  const std::string deep = dir.Write(std::string(120, 'd') + "/" + std::string(120, 'e') + "/" +
                                         std::string(120, 'f') + "/" + std::string(120, 'g') +
                                         "/1st_page.htm",
                                     "y");
  for (const std::string& path : {long_name, deep, dir.path()}) {
    const std::string short_path = ShortPathName(path);
    EXPECT_FALSE(short_path.empty());
    EXPECT_TRUE(std::filesystem::equivalent(short_path, path)) << path << " -> " << short_path;
  }
  for (const std::string& missing : {dir.File("gone.htm"), std::string()}) {
    EXPECT_EQ(ShortPathName(missing), missing);
  }
}

}  // namespace
}  // namespace webhoard
