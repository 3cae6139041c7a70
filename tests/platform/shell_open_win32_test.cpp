// The Windows shell's own answers, through the association of ".htm" pages.
#include <gtest/gtest.h>

#include <string>

#include "platform/shell_open.h"
#include "support/fake_opener.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::FakeOpener;
using testing::TempDir;

TEST(ShellOpenOnWindows, TheAssociatedProgramGetsThePageAndRefusalsKeepTheShellsNumbers) {
  TempDir pages;
  const std::string page = pages.Write("1st_page.htm", "<HTML></HTML>");
  {
    FakeOpener opener("exit 0");
    EXPECT_TRUE(ShellOpenSucceeded(ShellOpen(page)));
    EXPECT_TRUE(opener.Opened(page));
  }
  const struct {
    std::string target;
    bool installed;
    int result;
  } refusals[] = {
      {page, false, kShellErrorNoAssociation},
      {pages.File("gone.htm"), true, kShellErrorFileNotFound},
      {std::string("1st_page.htm\0.exe", 17), true, kShellErrorFileNotFound},
  };
  for (const auto& c : refusals) {
    FakeOpener opener("exit 0", c.installed);
    EXPECT_EQ(ShellOpen(c.target), c.result) << c.target;
    EXPECT_EQ(opener.RecordedArguments(/*wait_for_opener=*/false), std::nullopt) << c.target;
  }
  // Windows answers "path not found" for a missing folder, Wine "file not found".
  FakeOpener opener("exit 0");
  const int missing_folder = ShellOpen(pages.File("gone/1st_page.htm"));
  EXPECT_TRUE(missing_folder == kShellErrorPathNotFound ||
              missing_folder == kShellErrorFileNotFound)
      << missing_folder;
}

}  // namespace
}  // namespace webhoard
