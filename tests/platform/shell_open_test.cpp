#include "platform/shell_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "common/file_util.h"
#include "support/fake_opener.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::FakeOpener;
using testing::TempDir;

TEST(ShellOpen, OpenerExitStatusesBecomeShellResultNumbers) {
  TempDir pages;
  const std::string page = pages.Write("index.htm", "<HTML></HTML>");
  const struct {
    int exit_status;
    int result;
  } cases[] = {
      {0, kShellOpenSucceeded},      {1, kShellErrorGeneral},         {2, kShellErrorFileNotFound},
      {3, kShellErrorNoAssociation}, {4, kShellErrorGeneral},         {5, kShellErrorAccessDenied},
      {9, kShellErrorGeneral},       {127, kShellErrorNoAssociation},
  };
  for (const auto& c : cases) {
    FakeOpener opener("exit " + std::to_string(c.exit_status));
    const int result = ShellOpen(page);
    EXPECT_EQ(result, c.result) << "exit status " << c.exit_status;
    EXPECT_EQ(ShellOpenSucceeded(result), c.exit_status == 0);
    EXPECT_EQ(opener.RecordedArguments(), "1\n" + page + "\n");
  }
}

TEST(ShellOpen, OpenerKilledBySignalIsAFailure) {
  TempDir pages;
  FakeOpener opener("kill -9 $$");
  EXPECT_EQ(ShellOpen(pages.Write("a.htm", "x")), kShellErrorGeneral);
}

TEST(ShellOpen, MissingOrUnusableOpenerMeansNoAssociatedProgram) {
  TempDir pages;
  const std::string page = pages.Write("a.htm", "x");
  {
    FakeOpener nothing("", /*install=*/false);
    EXPECT_EQ(ShellOpen(page), kShellErrorNoAssociation);
    EXPECT_EQ(ShellOpen("http://www.example.com/"), kShellErrorNoAssociation);
  }
  {
    FakeOpener not_executable("exit 0");
    ::chmod(not_executable.folder().File("xdg-open").c_str(), 0644);
    EXPECT_EQ(ShellOpen(page), kShellErrorNoAssociation);
  }
}

TEST(ShellOpen, HostileTargetsReachTheOpenerAsOneUntouchedArgument) {
  TempDir pages;
  const std::string odd_name = "a b;$(touch INJECTED)`touch INJECTED`'\"|&<>*.htm";
  const std::string page = pages.Write(odd_name, "x");
  const std::string address = "http://host/cgi?q=$(touch INJECTED);x='1' && touch INJECTED";
  FakeOpener opener("exit 0");
  // Anything a shell ran by mistake would create its files here.
  const auto previous = std::filesystem::current_path();
  ASSERT_EQ(::chdir(pages.path().c_str()), 0);
  EXPECT_EQ(ShellOpen(page), kShellOpenSucceeded);
  EXPECT_EQ(opener.RecordedArguments(), "1\n" + page + "\n");
  EXPECT_EQ(ShellOpen(address), kShellOpenSucceeded);
  EXPECT_EQ(opener.RecordedArguments(), "1\n" + address + "\n");
  EXPECT_FALSE(FileExists(pages.File("INJECTED")));
  EXPECT_FALSE(FileExists(opener.folder().File("INJECTED")));
  std::filesystem::current_path(previous);
}

TEST(ShellOpen, RelativeNameThatLooksLikeAnOptionIsMadeAPath) {
  TempDir pages;
  pages.Write("--version", "x");
  FakeOpener opener("exit 0");
  const auto previous = std::filesystem::current_path();
  ASSERT_EQ(::chdir(pages.path().c_str()), 0);
  EXPECT_EQ(ShellOpen("--version"), kShellOpenSucceeded);
  std::filesystem::current_path(previous);
  EXPECT_EQ(opener.RecordedArguments(), "1\n./--version\n");
}

TEST(ShellOpen, LocalPathsAreCheckedBeforeAnyOpenerRuns) {
  TempDir pages;
  FakeOpener opener("exit 0");
  EXPECT_EQ(ShellOpen(pages.File("missing.htm")), kShellErrorFileNotFound);
  EXPECT_EQ(ShellOpen(pages.File("no/such/folder/page.htm")), kShellErrorPathNotFound);
  EXPECT_EQ(ShellOpen(""), kShellErrorFileNotFound);
  EXPECT_EQ(ShellOpen(pages.File("nul") + std::string(1, '\0') + "x"), kShellErrorFileNotFound);
  EXPECT_FALSE(opener.RecordedArguments().has_value());
  if (::geteuid() != 0) {  // root reads everything
    const std::string locked = pages.Write("locked.htm", "x");
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(ShellOpen(locked), kShellErrorAccessDenied);
  }
  // A folder opens like a file (in the file manager).
  EXPECT_EQ(ShellOpen(pages.path()), kShellOpenSucceeded);
  EXPECT_EQ(opener.RecordedArguments(), "1\n" + pages.path() + "\n");
}

TEST(ShellOpen, OpenerHoldsNoneOfTheProgramsStandardStreams) {
  TempDir pages;
  FakeOpener opener(
      "s=$(/bin/readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); printf '%s\\n' \"$s\" > '" +
      pages.File("streams") + "'");
  EXPECT_EQ(ShellOpen(pages.Write("a.htm", "x")), kShellOpenSucceeded);
  EXPECT_EQ(ReadFileBytes(pages.File("streams")), "/dev/null\n/dev/null\n/dev/null\n");
}

TEST(ShellOpen, OpenerThatKeepsRunningCountsAsStartedAndDoesNotBlock) {
  TempDir pages;
  FakeOpener opener("exec /bin/sleep 3");
  int waits = 0;
  ShellOpenOptions options;
  options.wait_limit = std::chrono::milliseconds(150);
  options.while_waiting = [&waits] { ++waits; };
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ShellOpen(pages.Write("a.htm", "x"), options), kShellOpenSucceeded);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_GT(waits, 0);
}

}  // namespace
}  // namespace webhoard
