#include "shell/shell_open_page.h"

#include <gtest/gtest.h>

#include <chrono>

#include "support/fake_opener.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::FakeOpener;
using testing::ScriptedPrompter;
using testing::TempDir;

TEST(ShellOpenPage, NoOpenerExplainsThatNoProgramIsAssociated) {
  TempDir archive;
  const std::string page = archive.Write("1st_page.htm", "<HTML></HTML>");
  FakeOpener nothing("", /*install=*/false);
  ScriptedPrompter prompter;
  ShellOpenPage(page, prompter);
  ASSERT_EQ(prompter.messages().size(), 1u);
  const auto& box = prompter.messages()[0];
  EXPECT_EQ(box.text,
            "There is no application \r\nassociated with these files.\r\n\r\n"
            "To open the page:\r\n\r\n" +
                page + "\r\n\r\nuse the Open command from\r\nthe browser's File menu.");
  EXPECT_EQ(box.kind, MessageKind::kError);
  EXPECT_EQ(box.buttons, unsigned{kButtonOk});
  EXPECT_EQ(box.help_context, 0);
}

#ifndef _WIN32  // the Linux opener: exit statuses, an opener that runs a while
TEST(ShellOpenPage, OpenedPageShowsNothingAndKeepsTheWindowResponsive) {
  TempDir archive;
  const std::string page = archive.Write("1st_page.htm", "<HTML></HTML>");
  FakeOpener opener("/bin/sleep 0.2; exit 0");
  ScriptedPrompter prompter;
  ShellOpenPage(page, prompter);
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_GT(prompter.pending_message_calls(), 0);
  EXPECT_EQ(opener.RecordedArguments(), "1\n" + page + "\n");
}
#endif

#ifndef _WIN32
TEST(ShellOpenPage, EachRefusalGetsItsReasonAndTheHint) {
  TempDir archive;
  const std::string page = archive.Write("1st_page.htm", "<HTML></HTML>");
  const struct {
    std::string opener_body;
    std::string target;
    std::string reason;
  } cases[] = {
      {"exit 4", page, "The requested file could not be opened."},
      {"exit 3", "http://www.example.com/",
       "There is no application \r\nassociated with these files."},
      {"exit 5", page, "The operating system denied \r\naccess to the specified file."},
      {"exit 0", archive.File("gone.htm"), "The specified file was not found."},
      {"exit 0", archive.File("gone/1st_page.htm"), "The specified path was not found."},
  };
  for (const auto& c : cases) {
    FakeOpener opener(c.opener_body);
    ScriptedPrompter prompter;
    ShellOpenPage(c.target, prompter);
    ASSERT_EQ(prompter.messages().size(), 1u) << c.opener_body << " " << c.target;
    EXPECT_EQ(prompter.messages()[0].text, c.reason + "\r\n\r\nTo open the page:\r\n\r\n" +
                                               c.target +
                                               "\r\n\r\nuse the Open command from\r\n"
                                               "the browser's File menu.");
  }
}
#endif

TEST(ShellOpenPage, ReasonsOutsideTheTableFallBackToTheGeneralOne) {
  for (int result : {-1, 1, 4, 12, 25}) {
    EXPECT_EQ(ShellOpenReason(result), "The requested file could not be opened.") << result;
  }
  EXPECT_EQ(ShellOpenReason(30),
            "The DDE transaction could not\r\nbe completed because other DDE \r\n"
            "transactions were being processed.");
}

#ifndef _WIN32
TEST(ShellOpenPage, GivenWaitingReplacesThePrompterLoop) {
  TempDir archive;
  FakeOpener opener("exec /bin/sleep 3");
  ScriptedPrompter prompter;
  int waits = 0;
  ShellOpenOptions options;
  options.wait_limit = std::chrono::milliseconds(100);
  options.while_waiting = [&waits] { ++waits; };
  ShellOpenPage(archive.Write("a.htm", "x"), prompter, options);
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_GT(waits, 0);
  EXPECT_EQ(prompter.pending_message_calls(), 0);
}
#endif

}  // namespace
}  // namespace webhoard
