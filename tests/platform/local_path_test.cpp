// The folder part of Windows paths from the browsers' records and of paths
// of this system.
#include "platform/local_path.h"

#include <gtest/gtest.h>

namespace webhoard {
namespace {

TEST(LocalPath, FolderOfAWindowsOrLocalPath) {
  const struct {
    const char* path;
    const char* folder;
  } kCases[] = {
      {"C:\\nav\\FAT.DB", "C:\\nav\\"},  // not "." (the folder of a Windows path)
      {"/home/u/.netscape/cache/index.db", "/home/u/.netscape/cache/"},
      {"C:\\mixed/sub\\FAT", "C:\\mixed/sub\\"},
      {"/FAT.DB", "/"},
      {"FAT.DB", ""},
      {"", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

}  // namespace
}  // namespace webhoard
