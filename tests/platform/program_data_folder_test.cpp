// Where the programs find their data and where they write their own, as the
// environment decides it.
#include "platform/program_data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/user_folders.h"
#include "support/environment.h"

namespace webhoard {
namespace {

TEST(ProgramDataFolder, EnvironmentOverridesTheExecutableFolder) {
  testing::SetEnvironment("WEBHOARD_HOME", "/some/where");
  ResetProgramDataFolderForTesting();
  EXPECT_EQ(ProgramDataFolder(), "/some/where/");
  testing::SetEnvironment("WEBHOARD_HOME", nullptr);
  ResetProgramDataFolderForTesting();
  const std::string& folder = ProgramDataFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == '/' || folder.back() == '\\') << folder;  // the system's own
}

#ifndef _WIN32
TEST(UserFolders, FollowTheEnvironment) {
  struct Case {
    const char* webhoard_home;
    const char* xdg_data_home;
    const char* home;
    const char* data_folder;
    const char* archive_folder;
  };
  const Case cases[] = {
      {nullptr, nullptr, "/home/ann", "/home/ann/.local/share/webhoard/", "/home/ann/Webhoard/"},
      {nullptr, "/xdg/data/", "/home/ann/", "/xdg/data/webhoard/", "/home/ann/Webhoard/"},
      // XDG asks that a relative folder be ignored.
      {nullptr, "relative", "/home/ann", "/home/ann/.local/share/webhoard/", "/home/ann/Webhoard/"},
      {"", "", "/home/ann", "/home/ann/.local/share/webhoard/", "/home/ann/Webhoard/"},
      // A self-contained setup keeps everything in its folder.
      {"/opt/wh", "/xdg/data", "/home/ann", "/opt/wh/", "/opt/wh/ARCHIVE/"},
  };
  const char* home = std::getenv("HOME");
  const std::string saved_home = home != nullptr ? home : "";
  for (const Case& c : cases) {
    testing::SetEnvironment("WEBHOARD_HOME", c.webhoard_home);
    testing::SetEnvironment("XDG_DATA_HOME", c.xdg_data_home);
    testing::SetEnvironment("HOME", c.home);
    EXPECT_EQ(UserDataFolder(), c.data_folder) << c.home;
    EXPECT_EQ(DefaultArchiveFolder(), c.archive_folder) << c.home;
  }
  testing::SetEnvironment("WEBHOARD_HOME", nullptr);
  testing::SetEnvironment("XDG_DATA_HOME", nullptr);
  testing::SetEnvironment("HOME", home != nullptr ? saved_home.c_str() : nullptr);
}
#endif

}  // namespace
}  // namespace webhoard
