// Windows paths from the browsers' records as paths of a POSIX system: "\"
// to "/", and drive letters through the Wine prefix.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/local_path.h"
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
    testing::SetEnvironment(name, value);
  }
  ~ScopedEnvironment() { testing::SetEnvironment(name_, saved_ ? saved_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

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
