// The caches of today's browsers through the `webhoard` program: found,
// listed and archived; never deleted from.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "common/file_util.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

class BrowserCaches : public ::testing::Test {
 protected:
  BrowserCaches() {
    std::filesystem::create_directories(dir_.File("home"));
    std::filesystem::copy(std::string(WEBHOARD_SOURCE_DIR) + "/images", dir_.File("home/images"));
  }

  testing::ProgramOutcome Run(const std::vector<std::string>& arguments) {
    // HOME points at an empty folder: no browser of this machine is found.
    return testing::RunProgram(WEBHOARD_CLI, arguments,
                               {{"WEBHOARD_CONFIG_DIR", dir_.File("config")},
                                {"WEBHOARD_HOME", dir_.File("home")},
                                {"HOME", dir_.File("home")},
                                {"LOCALAPPDATA", dir_.File("home")},
                                {"APPDATA", dir_.File("home")}});
  }

  static std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  testing::TempDir dir_;
};

TEST_F(BrowserCaches, ListedArchivedAndNeverDeletedFrom) {
  const std::string chromium = testing::TestData("chromium-simple");
  const struct {
    std::vector<std::string> arguments;
    int status;
    std::size_t lines;
    std::string said;
  } rows[] = {
      {{"list", "--chromium"}, 2, 0, "no Chromium cache in the browsers' usual places"},
      {{"list", "--chromium", chromium}, 0, 2, "2 entries, 2 items, 0 skipped"},
      {{"list", "--chromium", chromium, "--types", "media"}, 0, 1, "Text 1, Media 1, Other 0"},
      // Listing only reads: no cache is remembered for the next command.
      {{"list", "--chromium"}, 2, 0, "no Chromium cache in the browsers' usual places"},
      {{"list", "--firefox", dir_.File("home")}, 2, 0, "no Firefox cache in " + dir_.File("home")},
      {{"list", "--chromium", chromium, "--ie"}, 1, 0, "name one cache"},
      {{"delete", "--chromium", chromium, "--yes"}, 1, 0, "only read"},
  };
  for (const auto& row : rows) {
    const testing::ProgramOutcome outcome = Run(row.arguments);
    EXPECT_EQ(outcome.status, row.status) << row.arguments[1] << "\n" << outcome.err;
    EXPECT_EQ(Lines(outcome.out), row.lines) << outcome.out;
    EXPECT_NE(outcome.err.find(row.said), std::string::npos) << outcome.err;
  }
  EXPECT_EQ(ReadFileBytes(chromium + "/0f73d4618e3309ad_0").has_value(), true);  // untouched

  const std::string archive = dir_.File("archive");
  const testing::ProgramOutcome made =
      Run({"archive", "--chromium", chromium, "--to", archive, "--yes"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_NE(made.err.find("2 items archived, 0 failed"), std::string::npos) << made.err;
  const auto page = ReadFileBytes(archive + "/127.0.0.1/text/p0.htm");
  ASSERT_TRUE(page.has_value());
  EXPECT_NE(page->find("<img src=\"../../127.0.0.1/image/a.gif\">"), std::string::npos) << *page;
  const auto picture = ReadFileBytes(archive + "/127.0.0.1/image/a.gif");
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->rfind("GIF8", 0), 0u);
  // Without a folder, the one archived last is read again.
  const testing::ProgramOutcome again = Run({"list", "--chromium"});
  EXPECT_EQ(again.status, 0) << again.err;
  EXPECT_NE(again.err.find("the Chromium cache read last: "), std::string::npos) << again.err;
}

TEST_F(BrowserCaches, TheFirefoxSampleIsRead) {
  const std::string firefox = testing::SharedSample("firefox-plaso");
  if (firefox.empty()) return;
  const testing::ProgramOutcome listed = Run({"list", "--firefox", firefox});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(Lines(listed.out), 2u) << listed.err;
  EXPECT_NE(listed.err.find("5 entries, 2 items, 3 skipped"), std::string::npos) << listed.err;
}

}  // namespace
}  // namespace webhoard
