#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/environment.h"

namespace webhoard {
namespace {

TEST(ProgramFolder, EnvironmentOverridesTheExecutableFolder) {
  testing::SetEnvironment("WEBHOARD_HOME", "/some/where");
  ResetProgramFolderForTesting();
  EXPECT_EQ(ProgramFolder(), "/some/where/");
  testing::SetEnvironment("WEBHOARD_HOME", nullptr);
  ResetProgramFolderForTesting();
  const std::string& folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == '/' || folder.back() == '\\') << folder;  // the system's own
}

}  // namespace
}  // namespace webhoard
