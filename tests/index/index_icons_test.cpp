#include "index/index_icons.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/program_data_folder.h"
#include "support/environment.h"
#include "support/file_name_case.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

// The icons checked in beside the sources: images/ at the top of the tree.
std::string SourceTreeTop() {
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().string();
}

// Points the program data folder at `folder` for the life of the object.
class ScopedProgramDataFolder {
 public:
  explicit ScopedProgramDataFolder(const std::string& folder) {
    testing::SetEnvironment("WEBHOARD_HOME", folder.c_str());
    ResetProgramDataFolderForTesting();
  }
  ~ScopedProgramDataFolder() {
    testing::SetEnvironment("WEBHOARD_HOME", nullptr);
    ResetProgramDataFolderForTesting();
  }
};

std::string Icon(const std::string& folder, std::string_view name) {
  return folder + "/images/" + std::string(name) + ".gif";
}

TEST(IndexIcons, EmptyArchiveGetsEveryIconAndEveryPageSpelling) {
  ScopedProgramDataFolder program(SourceTreeTop());
  TempDir archive;
  if (testing::IgnoresCase(archive)) GTEST_SKIP() << "one file serves every spelling";
  const std::string folder = archive.path() + "/new/archive/";  // parents missing too
  EXPECT_EQ(CopyIndexImages(folder), 0u);
  for (const std::string_view name : kIndexIconNames) {
    const auto copy = ReadFileBytes(Icon(folder, name));
    ASSERT_TRUE(copy.has_value()) << name;
    EXPECT_EQ(copy, ReadFileBytes(Icon(SourceTreeTop(), name))) << name;
  }
  for (const IndexIconAlias& alias : kIndexIconAliases) {
    EXPECT_EQ(ReadFileBytes(Icon(folder, alias.page_name)),
              ReadFileBytes(Icon(folder, alias.icon_name)))
        << alias.page_name;
  }
  // Nothing else lands in the folder (no temporary files left behind).
  std::size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder + "images")) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, kIndexIconNames.size() + kIndexIconAliases.size());
}

TEST(IndexIcons, EveryMixedCaseNameThePagesUseHasItsFile) {
  // The pages name the type buttons "d"/"g"/"u" + stem, the stems of all
  // types but text being capitalised, and the banner and logo capitalised.
  std::set<std::string> page_names = {"Webhoard", "Tarnlogo"};
  for (const char* stem : {"Image", "Audio", "Video", "Other"}) {
    for (const char* form : {"d", "g", "u"}) page_names.insert(std::string(form) + stem);
  }
  std::set<std::string> aliases;
  for (const IndexIconAlias& alias : kIndexIconAliases) {
    aliases.insert(std::string(alias.page_name));
    EXPECT_EQ(AsciiLower(alias.page_name), alias.icon_name);
  }
  EXPECT_EQ(aliases, page_names);
}

TEST(IndexIcons, ArchiveKeepsTheIconsItWasMadeWith) {
  ScopedProgramDataFolder program(SourceTreeTop());
  TempDir archive;
  if (testing::IgnoresCase(archive)) GTEST_SKIP() << "one file serves every spelling";
  archive.Write("images/text.gif", "old text icon");
  archive.Write("images/dimage.gif", "old current image button");
  archive.Write("images/Webhoard.gif", "old banner under the page's name");
  EXPECT_EQ(CopyIndexImages(archive.path()), 0u);
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "text")), "old text icon");
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "Webhoard")), "old banner under the page's name");
  // A new spelling follows the archive's own icon, not the program's.
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "dImage")), "old current image button");
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "webhoard")),
            ReadFileBytes(Icon(SourceTreeTop(), "webhoard")));
}

TEST(IndexIcons, IconMissingBesideTheProgramIsCopiedByALaterRun) {
  TempDir data_folder;
  for (const std::string_view name : kIndexIconNames) {
    if (name != "uimage" && name != "notfound") {
      data_folder.Write("images/" + std::string(name) + ".gif", "icon " + std::string(name));
    }
  }
  ScopedProgramDataFolder program(data_folder.path());
  TempDir archive;
  EXPECT_EQ(CopyIndexImages(archive.path()), 2u);
  EXPECT_FALSE(FileExists(Icon(archive.path(), "uimage")));
  EXPECT_FALSE(FileExists(Icon(archive.path(), "uImage")));
  EXPECT_FALSE(FileExists(Icon(archive.path(), "notfound")));
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "uAudio")), "icon uaudio");

  data_folder.Write("images/uimage.gif", "icon uimage");
  data_folder.Write("images/notfound.gif", "icon notfound");
  data_folder.Write("images/text.gif", "a newer text icon");
  EXPECT_EQ(CopyIndexImages(archive.path()), 0u);
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "uimage")), "icon uimage");
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "uImage")), "icon uimage");
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "notfound")), "icon notfound");
  EXPECT_EQ(ReadFileBytes(Icon(archive.path(), "text")), "icon text");
}

TEST(IndexIcons, NoProgramIconsAtAllStillLeavesAnImagesFolder) {
  TempDir data_folder;
  ScopedProgramDataFolder program(data_folder.path());
  TempDir archive;
  EXPECT_EQ(CopyIndexImages(archive.path()), kIndexIconNames.size());
  EXPECT_TRUE(DirectoryExists(archive.File("images")));
  EXPECT_FALSE(FileExists(Icon(archive.path(), "Webhoard")));
}

TEST(IndexIcons, ImagesFolderThatCannotBeCreatedIsReported) {
  ScopedProgramDataFolder program(SourceTreeTop());
  TempDir archive;
  archive.Write("images", "a file where the folder belongs");
  EXPECT_THROW(CopyIndexImages(archive.path()), std::runtime_error);
  archive.Write("blocked", "a file where a parent folder belongs");
  EXPECT_THROW(CopyIndexImages(archive.File("blocked/archive")), std::runtime_error);
}

}  // namespace
}  // namespace webhoard
