#include "platform/program_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace webhoard {
namespace {

TEST(ProgramFolder, EnvironmentOverridesTheExecutableFolder) {
  ::setenv("WEBHOARD_HOME", "/some/where", 1);
  ResetProgramFolderForTesting();
  EXPECT_EQ(ProgramFolder(), "/some/where/");
  ::unsetenv("WEBHOARD_HOME");
  ResetProgramFolderForTesting();
  const std::string& folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
}

}  // namespace
}  // namespace webhoard
