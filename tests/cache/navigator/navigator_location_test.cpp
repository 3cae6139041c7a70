// Finding Navigator's cache index through the registry and the Navigator 4
// profile, over real folders and files in a temporary folder.
#include "cache/navigator/navigator_location.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>

#include "support/memory_registry.h"
#include "support/file_name_case.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::MemoryRegistry;
using testing::TempDir;

constexpr std::string_view kUsers = "Software\\Netscape\\Netscape Navigator\\Users";

// A path of this system written the Windows way.
std::string Win(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Prefs.js text as Navigator writes it: a string preference with its
// backslashes doubled.
std::string Pref(std::string_view name, std::string_view value) {
  std::string escaped;
  for (char c : value) {
    if (c == '\\') escaped.push_back('\\');
    escaped.push_back(c);
  }
  return "user_pref(\"" + std::string(name) + "\", \"" + escaped + "\");\r\n";
}

void SetMtime(const std::string& path, std::time_t seconds) {
  const auto time =
      std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(seconds));
  std::error_code ec;
  std::filesystem::last_write_time(path, time, ec);
  ASSERT_FALSE(ec) << path << ": " << ec.message();
}

class NavigatorLocation : public ::testing::Test {
 protected:
  // Registers `folder` as the current Navigator user's profile.
  void SetProfile(const std::string& dir_root) {
    ASSERT_TRUE(registry_.WriteString(RegistryRoot::kLocalMachine, kUsers, "CurrentUser", "jo"));
    ASSERT_TRUE(registry_.WriteString(RegistryRoot::kLocalMachine, std::string(kUsers) + "\\jo",
                                      "DirRoot", dir_root));
  }
  void SetOldCacheDir(const std::string& folder) {
    ASSERT_TRUE(registry_.WriteString(RegistryRoot::kCurrentUser,
                                      "Software\\Netscape\\Netscape Navigator\\Cache", "Cache Dir",
                                      folder));
  }
  std::string ProfilePath() const { return dir_.File("Users/jo"); }
  std::string WriteProfile(std::string_view prefs) {
    SetProfile(Win(ProfilePath()));
    return dir_.Write("Users/jo/prefs.js", prefs);
  }

  TempDir dir_;
  MemoryRegistry registry_;
};

TEST_F(NavigatorLocation, NothingRegisteredFindsNothing) {
  EXPECT_EQ(LocateCacheIndex(registry_), "");
  TNavigator4Paths paths(registry_);
  EXPECT_EQ(paths.ProfileFolder(), "");
  EXPECT_EQ(paths.CacheFolder(), "");
  EXPECT_FALSE(paths.ReadUserPref("browser.cache.directory"));
}

TEST_F(NavigatorLocation, TheProfileFolderIsTidied) {
  const struct {
    const char* stored;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\Netscape\\Users\\jo", "C:\\Program Files\\Netscape\\Users\\jo\\"},
      {"C:\\Users\\jo; ;;  ", "C:\\Users\\jo\\"},
      {"C:\\Users\\jo\\", "C:\\Users\\jo\\"},
      {" ; ", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SetProfile(c.stored);
    EXPECT_EQ(TNavigator4(registry_).ProfileFolder(), c.folder) << c.stored;
  }
  ASSERT_TRUE(registry_.WriteString(RegistryRoot::kLocalMachine, kUsers, "CurrentUser", "ann"));
  EXPECT_EQ(TNavigator4(registry_).ProfileFolder(), "");  // no key for that user
}

TEST_F(NavigatorLocation, ThePreferredCacheFolderWinsWhenItHoldsAnIndex) {
  const std::string cache = dir_.File("Elsewhere/Cache");
  dir_.Write("Elsewhere/Cache/Fat.db", "db");
  dir_.Write("Users/jo/Cache/Fat.db", "profile db");
  WriteProfile("// Netscape User Preferences\r\n\r\n" +
               Pref("browser.cache.directory", Win(cache)) + Pref("browser.other", "x"));
  TNavigator4Paths paths(registry_);
  // The value keeps its doubled backslashes, as prefs.js writes them.
  std::string doubled;
  for (char c : Win(cache)) doubled += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_EQ(paths.ReadUserPref("browser.cache.directory"), doubled);
  EXPECT_EQ(paths.CacheFolder(), doubled);
  EXPECT_EQ(LocateCacheIndex(registry_), doubled + "\\Fat.db");
}

TEST_F(NavigatorLocation, APreferredFolderWithoutIndexFallsBackToTheProfileCache) {
  std::filesystem::create_directories(dir_.File("Empty"));
  dir_.Write("Users/jo/Cache/Fat", "text index");
  WriteProfile(Pref("browser.cache.directory", Win(dir_.File("Empty"))));
  EXPECT_EQ(LocateCacheIndex(registry_), Win(ProfilePath()) + "\\Cache\\Fat");
  // With both index files the paged one is taken.
  dir_.Write("Users/jo/Cache/Fat.db", "db");
  EXPECT_EQ(LocateCacheIndex(registry_), Win(ProfilePath()) + "\\Cache\\Fat.db");
}

TEST_F(NavigatorLocation, ForwardSlashesInThePreferenceComeBackAsBackslashes) {
  dir_.Write("Slashed/Fat.db", "db");
  WriteProfile("user_pref(\"browser.cache.directory\", \"" + dir_.File("Slashed") + "\");\n");
  EXPECT_EQ(TNavigator4Paths(registry_).CacheFolder(), Win(dir_.File("Slashed")));
}

TEST_F(NavigatorLocation, TheNewerIndexWinsAndTheProfileWinsATie) {
  if (testing::IgnoresCase(dir_)) GTEST_SKIP() << "the file system itself ignores case";
  const std::string old_index = dir_.Write("Old/FAT.DB", "old");
  const std::string profile_index = dir_.Write("Users/jo/Cache/fat.db", "new");
  SetProfile(Win(ProfilePath()));
  SetOldCacheDir(Win(dir_.File("Old")));
  const std::string from_old = Win(dir_.File("Old")) + "\\FAT.DB";
  const std::string from_profile = Win(ProfilePath()) + "\\Cache\\fat.db";
  SetMtime(old_index, 1000000);
  SetMtime(profile_index, 1000000);
  EXPECT_EQ(LocateCacheIndex(registry_), from_profile);
  SetMtime(old_index, 1000001);
  EXPECT_EQ(LocateCacheIndex(registry_), from_old);
  SetMtime(profile_index, 1000002);
  EXPECT_EQ(LocateCacheIndex(registry_), from_profile);
  // Only one source with an index: that one, whatever the times.
  std::filesystem::remove(profile_index);
  EXPECT_EQ(LocateCacheIndex(registry_), from_old);
}

TEST_F(NavigatorLocation, IndexNamesMatchWithoutRegardToCase) {
  if (testing::IgnoresCase(dir_)) GTEST_SKIP() << "the file system itself ignores case";
  std::filesystem::create_directories(dir_.File("Dirs/Fat.db"));  // a folder is no index
  EXPECT_EQ(FindCacheIndex(Win(dir_.File("Dirs"))), "");
  dir_.Write("Dirs/FAT", "text");
  EXPECT_EQ(FindCacheIndex(Win(dir_.File("Dirs"))), Win(dir_.File("Dirs")) + "\\FAT");
  dir_.Write("Upper/FAT.DB", "1");
  dir_.Write("Upper/fat.DB", "2");
  // Of two spellings the lower in byte order, whatever the listing order.
  EXPECT_EQ(FindCacheIndex(Win(dir_.File("Upper")) + "\\"), Win(dir_.File("Upper")) + "\\FAT.DB");
  EXPECT_TRUE(HasCacheIndex(Win(dir_.File("Upper"))));
  EXPECT_FALSE(HasCacheIndex(Win(dir_.File("Missing"))));
}

TEST_F(NavigatorLocation, EmptyFoldersNeverMeanTheWorkingFolder) {
  // The working folder holds everything a bare relative name would find.
  dir_.Write("Fat.db", "db");
  dir_.Write("prefs.js", Pref("browser.cache.directory", Win(dir_.path())));
  dir_.Write("Cache/Fat.db", "db");
  const std::filesystem::path old_cwd = std::filesystem::current_path();
  std::filesystem::current_path(dir_.path());
  SetOldCacheDir("");
  EXPECT_EQ(FindCacheIndex(""), "");
  EXPECT_EQ(LocateCacheIndex(registry_), "");
  TNavigator4Paths paths(registry_);
  EXPECT_FALSE(paths.ReadUserPref("browser.cache.directory"));
  EXPECT_EQ(paths.CacheFolder(), "");
  std::filesystem::current_path(old_cwd);
}

TEST_F(NavigatorLocation, LongPathsAreNotCut) {
  std::string folder = "Long";
  while (dir_.File(folder).size() < 300) folder += "/abcdefghijklmnopqrstuvwxyz";
  dir_.Write(folder + "/Fat.db", "db");
  // The same path cut at 255 characters leads to another index.
  const std::string win = Win(dir_.File(folder));
  dir_.Write(
      dir_.File(folder).substr(dir_.path().size() + 1, 255 - dir_.path().size() - 1) + "/Fat.db",
      "decoy");
  SetOldCacheDir(win);
  EXPECT_EQ(LocateCacheIndex(registry_), win + "\\Fat.db");
}

TEST(PrefsValue, ExtractedFromTheLineAsWritten) {
  const std::string pattern = "user_pref(\"browser.cache.directory\"";
  const struct {
    const char* line;
    std::optional<std::string> value;
  } cases[] = {
      {"user_pref(\"browser.cache.directory\", \"C:\\\\Net\\\\Cache\");", "C:\\\\Net\\\\Cache"},
      {"USER_PREF(\"Browser.Cache.Directory\", \"D:\\\\MixedCase\");", "D:\\\\MixedCase"},
      {"user_pref(\"browser.cache.directory\",\"x:\\\\c\")", "x:\\\\c"},
      {"  user_pref(\"browser.cache.directory\", 5);", "5"},
      {"user_pref(\"browser.cache.directory\", \"\");", std::nullopt},
      {"user_pref(\"browser.cache.directory\", \"C:\\\\Cache (old)\");", "C:\\\\Cache (old)"},
      {"user_pref(\"browser.cache.directory\", \"say \\\"x\\\"\");", "say \\\"x\\\""},
      {"user_pref(\"browser.cache.directory\"", std::nullopt},
      {"user_pref(\"browser.cache.directory\", \"no closing", std::nullopt},
      {"user_pref(\"browser.cache.directory.size\", \"1\");", std::nullopt},
      {"user_pref(\"browser.cache.dir\", \"1\");", std::nullopt},
      {"// user_pref(\"browser.cache.directory\", \"C:\\\\Commented\");", "C:\\\\Commented"},
      {")user_pref(\"browser.cache.directory\", \"a", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ExtractPrefValue(c.line, pattern), c.value) << c.line;
}

TEST(PrefsValue, LinesEndInWhicheverBreakComesFirst) {
  const std::string pref = "user_pref(\"a\", \"1\");";
  char terminator = 0;
  EXPECT_EQ(ScanUserPref("x\r\ny\r\n" + pref + "\r\n", "a", terminator), "1");
  EXPECT_EQ(terminator, '\r');
  terminator = 0;
  EXPECT_EQ(ScanUserPref("x\n\n\n" + pref, "A", terminator), "1");  // last line unterminated
  EXPECT_EQ(terminator, '\n');
  terminator = 0;
  EXPECT_EQ(ScanUserPref("x\r" + pref + "\r", "a", terminator), "1");
  // The terminator met first stays: a later lone CR does not end a line, so
  // the preference joins the line before it and is still found in it.
  terminator = 0;
  EXPECT_EQ(ScanUserPref("x\nnot a pref\r" + pref + "\n", "a", terminator), "1");
  EXPECT_EQ(terminator, '\n');
  terminator = 0;
  EXPECT_FALSE(ScanUserPref("", "a", terminator));
  EXPECT_FALSE(ScanUserPref("\r\n\r\n", "a", terminator));
}

TEST_F(NavigatorLocation, DamagedPreferencesNeverCrash) {
  const std::string sample = "// Netscape User Preferences\r\n\r\n" +
                             Pref("browser.cache.directory", "C:\\Cache (1)") +
                             Pref("browser.startup.page", "1");
  for (std::size_t n = 0; n <= sample.size(); ++n) {
    char terminator = 0;
    const auto value = ScanUserPref(sample.substr(0, n), "browser.cache.directory", terminator);
    if (value) {
      EXPECT_NE(sample.find(*value), std::string::npos);
    }
  }
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    std::string flipped = sample;
    for (int k = 0; k < 4; ++k) flipped[random() % flipped.size()] = static_cast<char>(random());
    char terminator = 0;
    ScanUserPref(flipped, "browser.cache.directory", terminator);
  }
  // One endless line without a break, and a file far too large to load.
  char terminator = 0;
  EXPECT_FALSE(ScanUserPref(std::string(8 << 20, '('), "browser.cache.directory", terminator));
  const std::string prefs = WriteProfile(sample);
  std::filesystem::resize_file(prefs, TNavigator4::kMaxPreferencesBytes + 1);
  EXPECT_FALSE(TNavigator4(registry_).ReadUserPref("browser.cache.directory"));
  std::filesystem::remove(prefs);
  std::filesystem::create_directories(prefs);  // a folder where the file should be
  EXPECT_FALSE(TNavigator4(registry_).ReadUserPref("browser.cache.directory"));
}

}  // namespace
}  // namespace webhoard
