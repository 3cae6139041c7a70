// Copying cached files into the archive, on a real temporary folder.
#include "archive/copy_archive_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

// Every name in the folder, so that a test sees any file a copy left behind.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(CopyArchiveFile, CopiesAndReplacesAnExistingTarget) {
  TempDir dir;
  std::string contents;
  for (int i = 0; i < 200000; ++i) contents.push_back(static_cast<char>(i * 7));
  const std::string source = dir.Write("cache/ABC123", contents);
  const std::string target = dir.Write("archive/host/text/page.htm", std::string(300000, 'x'));

  ASSERT_TRUE(CopyArchiveFile(source, target));
  EXPECT_EQ(ReadFileBytes(target), contents);
  EXPECT_EQ(ReadFileBytes(source), contents);
  EXPECT_EQ(Names(dir.File("archive/host/text")), std::vector<std::string>{"page.htm"});

  // A new target and an empty source.
  const std::string empty = dir.Write("cache/EMPTY", "");
  ASSERT_TRUE(CopyArchiveFile(empty, dir.File("archive/host/text/new.htm")));
  EXPECT_EQ(ReadFileBytes(dir.File("archive/host/text/new.htm")), "");
}

TEST(CopyArchiveFile, KeepsTheModificationTimeOfTheCachedFile) {
  TempDir dir;
  const std::string source = dir.Write("cached.gif", "GIF89a");
  const auto old_time = fs::last_write_time(source) - std::chrono::hours(24 * 400);
  fs::last_write_time(source, old_time);
  const std::string target = dir.File("copy.gif");
  ASSERT_TRUE(CopyArchiveFile(source, target));
  EXPECT_EQ(fs::last_write_time(target), old_time);
}

TEST(CopyArchiveFile, CopyOntoItselfKeepsTheFile) {
  TempDir dir;
  const std::string file = dir.Write("page.htm", "<HTML>kept</HTML>");
  EXPECT_TRUE(CopyArchiveFile(file, file));
  EXPECT_EQ(ReadFileBytes(file), "<HTML>kept</HTML>");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"page.htm"});
}

TEST(CopyArchiveFile, FailuresLeaveTheTargetAndTheFolderAsTheyWere) {
  TempDir dir;
  const std::string target = dir.Write("out/page.htm", "old contents");
  const std::string source = dir.Write("in/file", "new contents");

  EXPECT_FALSE(CopyArchiveFile(dir.File("in/missing"), target));
  EXPECT_FALSE(CopyArchiveFile(dir.File("in"), target));  // a folder is no file
  EXPECT_EQ(ReadFileBytes(target), "old contents");

  EXPECT_FALSE(CopyArchiveFile(source, dir.File("no-such-folder/page.htm")));
  EXPECT_FALSE(FileExists(dir.File("no-such-folder/page.htm")));

  // A folder in the target's place is not replaced.
  fs::create_directory(dir.File("out/taken"));
  EXPECT_FALSE(CopyArchiveFile(source, dir.File("out/taken")));
  EXPECT_TRUE(DirectoryExists(dir.File("out/taken")));

  EXPECT_EQ(Names(dir.File("out")), (std::vector<std::string>{"page.htm", "taken"}));
}

}  // namespace
}  // namespace webhoard
