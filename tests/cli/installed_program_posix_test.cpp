// The `webhoard` program as an installation holds it (bin/webhoard beside
// share/webhoard/, anywhere on disk), run by a user with a fresh home: it
// finds its data from its own place and writes only the user's folders and
// the archive; the commands that only read write nothing at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/file_util.h"
#include "support/program_run.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

// Every file and folder below `root` with its size and change time.
using Snapshot = std::map<std::string, std::string>;

Snapshot Take(const std::string& root) {
  Snapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    const std::uintmax_t size = entry.is_regular_file() ? entry.file_size() : 0;
    snapshot[fs::relative(entry.path(), root).string()] =
        std::to_string(size) + " bytes, " +
        std::to_string(entry.last_write_time().time_since_epoch().count());
  }
  return snapshot;
}

class InstalledProgram : public ::testing::Test {
 protected:
  InstalledProgram() {
    const std::string source = WEBHOARD_SOURCE_DIR;
    fs::create_directories(dir_.File("prefix/bin"));
    fs::create_directories(dir_.File("prefix/share/webhoard"));
    fs::create_directories(dir_.File("home"));
    fs::copy_file(WEBHOARD_CLI, program_);
    fs::copy(source + "/images", dir_.File("prefix/share/webhoard/images"));
    fs::copy_file(source + "/data/MIMETYPE.DAT", dir_.File("prefix/share/webhoard/MIMETYPE.DAT"));
  }

  testing::ProgramOutcome Run(const std::vector<std::string>& arguments) {
    const std::string home = dir_.File("home");
    // Empty variables count as unset.
    return testing::RunProgram(program_, arguments,
                               {{"HOME", home},
                                {"XDG_CONFIG_HOME", ""},
                                {"XDG_DATA_HOME", ""},
                                {"WEBHOARD_CONFIG_DIR", ""},
                                {"WEBHOARD_HOME", ""}});
  }

  testing::TempDir dir_;
  const std::string program_ = dir_.File("prefix/bin/webhoard");
};

TEST_F(InstalledProgram, WritesOnlyTheUsersFoldersAndOnlyWhenItArchives) {
  const std::string cache = testing::TestData("chromium-site");  // types beyond the built-in ones
  const std::string archive = dir_.File("home/Webhoard");
  const std::vector<std::vector<std::string>> reading_before = {
      {"list", "--chromium", cache},
      {"list", "--netscape", std::string(WEBHOARD_SOURCE_DIR) + "/samples/netscape/FAT.DB"},
      {"--version"},
      {"--help"},
      {"list", "--help"},
  };
  const std::vector<std::vector<std::string>> reading_after = {
      {"list", "--chromium"},  // the cache archived last
      {"search", archive, "--url", "127.0.0.1"},
      {"catalog", archive},
  };
  const auto run_all = [this](const std::vector<std::vector<std::string>>& commands) {
    for (const auto& arguments : commands) {
      const testing::ProgramOutcome outcome = Run(arguments);
      EXPECT_EQ(outcome.status, 0) << arguments[0] << " " << arguments.back() << "\n"
                                   << outcome.err;
    }
  };

  const Snapshot fresh = Take(dir_.path());
  run_all(reading_before);
  EXPECT_EQ(Take(dir_.path()), fresh);

  const Snapshot installed = Take(dir_.File("prefix"));
  const testing::ProgramOutcome made = Run({"archive", "--chromium", cache, "--yes"});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(Take(dir_.File("prefix")), installed);
  EXPECT_TRUE(FileExists(archive + "/1st_page.htm"));  // the default archive folder
  EXPECT_EQ(ReadFileBytes(archive + "/images/text.gif"),
            ReadFileBytes(dir_.File("prefix/share/webhoard/images/text.gif")));
  const auto types = ReadFileBytes(dir_.File("home/.local/share/webhoard/MIMETYPE.DAT"));
  ASSERT_TRUE(types.has_value());
  EXPECT_NE(types->find("\r\ntext/css"), std::string::npos) << *types;
  EXPECT_TRUE(FileExists(dir_.File("home/.config/webhoard/HKEY_CURRENT_USER.reg")));

  const Snapshot archived = Take(dir_.path());
  run_all(reading_after);
  EXPECT_EQ(Take(dir_.path()), archived);
}

}  // namespace
}  // namespace webhoard
