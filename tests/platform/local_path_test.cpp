// Windows paths from the browsers' records as paths of this system: the
// folder part, "\" to "/", and drive letters through the Wine prefix.
#include "platform/local_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "support/environment.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) saved_ = old;
    if (value != nullptr) {
      testing::SetEnvironment(name, value);
    } else {
      testing::SetEnvironment(name, nullptr);
    }
  }
  ~ScopedEnvironment() {
    if (saved_) {
      testing::SetEnvironment(name_, saved_->c_str());
    } else {
      testing::SetEnvironment(name_, nullptr);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(LocalPath, FolderOfAWindowsOrLocalPath) {
  const struct {
    const char* path;
    const char* folder;
  } kCases[] = {
      {"C:\\nav\\FAT.DB", "C:\\nav\\"},  // not "." (the folder of a Windows path)
      {"/home/u/.netscape/cache/index.db", "/home/u/.netscape/cache/"},
      {"C:\\mixed/sub\\FAT", "C:\\mixed/sub\\"},
      {"/FAT.DB", "/"},
      {"FAT.DB", ""},
      {"", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(LocalPath, BackslashesAndWineDrives) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("prefix/drive_c/Netscape"));
  std::filesystem::create_directories(dir.File("prefix/dosdevices"));
  std::filesystem::create_directory_symlink("../drive_c", dir.File("prefix/dosdevices/c:"));
  const ScopedEnvironment prefix("WINEPREFIX", dir.File("prefix").c_str());
  const std::string drive_c = dir.File("prefix/dosdevices/c:");
  const struct {
    const char* windows;
    std::string local;
  } kCases[] = {
      {"C:\\Netscape\\Fat.db", drive_c + "/Netscape/Fat.db"},
      {"c:\\nav\\", drive_c + "/nav/"},
      {"C:", drive_c},
      {"C:x", "C:x"},                   // no drive root: a plain name
      {"d:\\Netscape", "d:/Netscape"},  // drive not mapped
      {"\\home\\jo\\cache\\", "/home/jo/cache/"},
      {"relative\\Cache", "relative/Cache"},
  };
  for (const auto& c : kCases) EXPECT_EQ(LocalFileSystemPath(c.windows), c.local) << c.windows;
}

TEST(LocalPath, ThePrefixComesFromWineprefixElseHome) {
  {
    const ScopedEnvironment prefix("WINEPREFIX", "/opt/wine");
    EXPECT_EQ(WinePrefix(), "/opt/wine");
  }
  const ScopedEnvironment no_prefix("WINEPREFIX", "");
  {
    const ScopedEnvironment home("HOME", "/home/jo/");
    EXPECT_EQ(WinePrefix(), "/home/jo/.wine");
  }
  const ScopedEnvironment no_home("HOME", nullptr);
  EXPECT_EQ(WinePrefix(), "");
}

}  // namespace
}  // namespace webhoard
