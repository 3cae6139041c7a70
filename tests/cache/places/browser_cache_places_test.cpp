#include "cache/places/browser_cache_places.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/environment.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::TempDir;

const std::string kSimpleIndex("\x30\x5c\x72\xa7\x1b\x6d\xfb\xfc\x09\0\0\0", 12);
const std::string kBlockfileIndex("\xc3\xca\x03\xc1\0\0\x03\0", 8);
constexpr const char* kFirefoxEntry = "0123456789ABCDEF0123456789ABCDEF01234567";

void MakeSimple(const TempDir& dir, const std::string& folder) {
  dir.Write(folder + "/index", kSimpleIndex);
}

void MakeBlockfile(const TempDir& dir, const std::string& folder) {
  dir.Write(folder + "/index", kBlockfileIndex);
  dir.Write(folder + "/data_0", "");
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    testing::SetEnvironment(name, value);
  }
  ~ScopedEnvironment() { testing::SetEnvironment(name_, old_ ? old_->c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// What a search found, as "folder below the temporary folder: backend".
std::vector<std::string> Found(const std::vector<FoundCache>& caches, const TempDir& dir) {
  std::vector<std::string> found;
  for (const FoundCache& cache : caches) {
    std::string line =
        std::filesystem::path(cache.folder).lexically_relative(dir.path()).generic_string();
    if (cache.backend) {
      line += *cache.backend == ChromiumBackend::kSimple ? ": simple" : ": blockfile";
    }
    found.push_back(line);
  }
  return found;
}

// A Chromium user-data folder with caches in every layout, beside the
// other caches a profile keeps in the same formats.
class ChromiumPlaces : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeSimple(dir_, "ud/Default/Cache/Cache_Data");
    MakeBlockfile(dir_, "ud/Profile 1/Cache");  // before the Cache_Data level
    dir_.Write("ud/Profile 2/Cache/Cache_Data/index-dir/the-real-index", "");
    dir_.Write("ud/Profile 3/Cache/Cache_Data/0123456789abcdef_0", "");
    dir_.Write("ud/Profile 4/Cache/Cache_Data/index", "not a cache index");
    dir_.Write("ud/Profile 5/Cache/Cache_Data/index", kBlockfileIndex);  // no data_0
    for (const char* other :
         {"ud/Default/GPUCache", "ud/Default/DawnWebGPUCache", "ud/Default/DawnGraphiteCache",
          "ud/GrShaderCache", "ud/Default/Service Worker/CacheStorage/ab12"}) {
      MakeBlockfile(dir_, other);
    }
    dir_.Write("ud/Default/Code Cache/js/0123456789abcdef_0", "");
    dir_.Write("ud/Local State", "{}");
  }
  TempDir dir_;
};

TEST_F(ChromiumPlaces, EachFormOfTheFolderGivesItsHttpCaches) {
  const std::vector<std::string> default_cache = {"ud/Default/Cache/Cache_Data: simple"};
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"ud",
       {"ud/Default/Cache/Cache_Data: simple", "ud/Profile 1/Cache: blockfile",
        "ud/Profile 2/Cache/Cache_Data: simple", "ud/Profile 3/Cache/Cache_Data: simple"}},
      {"ud/Default", default_cache},
      {"ud/Default/Cache", default_cache},
      {"ud/Default/Cache/Cache_Data", default_cache},
      {"ud/Default/Cache/Cache_Data/", default_cache},
      {"ud/Default/Cache/../Cache", default_cache},
      {"ud/Profile 1", {"ud/Profile 1/Cache: blockfile"}},
      {"ud/Profile 4", {}},
      {"ud/Profile 5/Cache", {}},
      {"ud/Local State", {}},
      {"missing", {}},
      {"", {}},
  };
  for (const auto& [given, expected] : cases) {
    const std::string dir = given.empty() ? given : dir_.File(given);
    EXPECT_EQ(Found(FindCachesIn(CacheBrowser::kChromium, dir), dir_), expected) << given;
  }
  EXPECT_EQ(FindCachesIn(CacheBrowser::kChromium, dir_.File("ud/Default")).at(0).description,
            "Chromium, profile Default");
}

// Links below the given folder are not followed: a profile or a cache index
// linked in from elsewhere is no cache of this tree. The given folder itself
// may be a link, like any path a user types.
TEST_F(ChromiumPlaces, LinksBelowTheGivenFolderAreNotFollowed) {
  namespace fs = std::filesystem;
  MakeSimple(dir_, "elsewhere/Other/Cache/Cache_Data");
  MakeBlockfile(dir_, "elsewhere/Blockfile");
  dir_.Write("ud/Profile 6/Cache/data_0", "");
  std::error_code ec;
  fs::create_directory_symlink(dir_.File("elsewhere/Other"), dir_.File("ud/Linked"), ec);
  fs::create_symlink(dir_.File("elsewhere/Blockfile/index"), dir_.File("ud/Profile 6/Cache/index"),
                     ec);
  fs::create_directory_symlink(dir_.File("ud"), dir_.File("ud-link"), ec);
  if (ec) GTEST_SKIP() << "no symbolic links here: " << ec.message();
  EXPECT_EQ(FindCachesIn(CacheBrowser::kChromium, dir_.File("ud")).size(), 4u);
  EXPECT_TRUE(FindCachesIn(CacheBrowser::kChromium, dir_.File("ud/Profile 6")).empty());
  EXPECT_EQ(FindCachesIn(CacheBrowser::kChromium, dir_.File("ud-link")).size(), 4u);
}

// Firefox keeps a profile's settings in one tree and its cache in another;
// either, and every folder down to the entries, leads to the cache.
TEST(FirefoxPlaces, EachFormOfTheFolderGivesItsCaches) {
  const TempDir dir;
  const ScopedEnvironment home("HOME", dir.path().c_str());
  const ScopedEnvironment cache_home("XDG_CACHE_HOME", nullptr);
  dir.Write(".mozilla/firefox/profiles.ini", "[Profile0]\nPath=abc.default-release\n");
  dir.Write(".mozilla/firefox/abc.default-release/prefs.js", "");
  dir.Write(".config/mozilla/firefox/profiles.ini", "");
  const std::string abc = ".cache/mozilla/firefox/abc.default-release/cache2";
  dir.Write(abc + "/entries/" + kFirefoxEntry, "");
  std::filesystem::create_directories(
      dir.File(".cache/mozilla/firefox/xyz.default/cache2/entries"));
  dir.Write("copied/" + std::string(kFirefoxEntry), "");
  dir.Write("win/Profiles/p1.default/cache2/entries/" + std::string(kFirefoxEntry), "");
  dir.Write("not-a-cache/cache2/index", "");
  const std::vector<std::string> both = {abc, ".cache/mozilla/firefox/xyz.default/cache2"};
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {".mozilla/firefox", both},
      {".mozilla/firefox/abc.default-release", {abc}},
      {".cache/mozilla/firefox", both},
      {".config/mozilla/firefox", both},
      {".cache/mozilla/firefox/abc.default-release", {abc}},
      {abc, {abc}},
      {abc + "/entries", {abc + "/entries"}},
      {"copied", {"copied"}},
      {"win", {"win/Profiles/p1.default/cache2"}},
      {"not-a-cache", {}},
      {"missing", {}},
  };
  for (const auto& [given, expected] : cases) {
    EXPECT_EQ(Found(FindCachesIn(CacheBrowser::kFirefox, dir.File(given)), dir), expected) << given;
  }
  EXPECT_EQ(FindCachesIn(CacheBrowser::kFirefox, dir.File(abc)).at(0).description,
            "Firefox, profile abc.default-release");
}

#if !defined(_WIN32) && !defined(__APPLE__)
TEST(DefaultCachePlaces, EveryProfileOfEveryInstallUnderHome) {
  const TempDir dir;
  const ScopedEnvironment home("HOME", dir.path().c_str());
  const ScopedEnvironment cache_home("XDG_CACHE_HOME", nullptr);
  EXPECT_TRUE(FindDefaultCaches(CacheBrowser::kChromium).empty());
  EXPECT_TRUE(FindDefaultCaches(CacheBrowser::kFirefox).empty());

  MakeSimple(dir, ".cache/google-chrome/Default/Cache/Cache_Data");
  MakeSimple(dir, ".cache/google-chrome/Profile 1/Cache/Cache_Data");
  MakeBlockfile(dir, ".cache/google-chrome/Default/GPUCache");
  MakeSimple(dir, "snap/chromium/common/.cache/chromium/Default/Cache/Cache_Data");
  MakeSimple(dir,
             ".var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser/Default/Cache/"
             "Cache_Data");
  for (const char* profile : {".cache/mozilla/firefox/a.default-release",
                              "snap/firefox/common/.cache/mozilla/firefox/s.default",
                              ".var/app/org.mozilla.firefox/cache/mozilla/firefox/f.default"}) {
    dir.Write(std::string(profile) + "/cache2/entries/" + kFirefoxEntry, "");
  }
  const auto descriptions = [](const std::vector<FoundCache>& caches) {
    std::vector<std::string> all;
    for (const FoundCache& cache : caches) all.push_back(cache.description);
    return all;
  };
  EXPECT_EQ(descriptions(FindDefaultCaches(CacheBrowser::kChromium)),
            (std::vector<std::string>{
                "Google Chrome, profile Default", "Google Chrome, profile Profile 1",
                "Chromium (snap), profile Default", "Brave (flatpak), profile Default"}));
  EXPECT_EQ(descriptions(FindDefaultCaches(CacheBrowser::kFirefox)),
            (std::vector<std::string>{"Firefox, profile a.default-release",
                                      "Firefox (snap), profile s.default",
                                      "Firefox (flatpak), profile f.default"}));

  // $XDG_CACHE_HOME moves the cache tree, and the config tree maps onto it.
  const TempDir xdg;
  const ScopedEnvironment moved_cache_home("XDG_CACHE_HOME", xdg.path().c_str());
  MakeBlockfile(xdg, "chromium/Default/Cache");
  dir.Write(".config/chromium/Default/Preferences", "{}");
  EXPECT_EQ(Found(FindCachesIn(CacheBrowser::kChromium, dir.File(".config/chromium")), xdg),
            std::vector<std::string>{"chromium/Default/Cache: blockfile"});
  EXPECT_EQ(descriptions(FindDefaultCaches(CacheBrowser::kChromium)).front(),
            "Chromium, profile Default");
}
#endif

TEST(SampleCachePlaces, RealCachesAreFoundAsTheyLie) {
  const std::string blockfile = testing::SharedSample("chromium-blockfile-plaso");
  if (blockfile.empty()) return;
  const std::vector<FoundCache> chromium = FindCachesIn(CacheBrowser::kChromium, blockfile);
  ASSERT_EQ(chromium.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(chromium[0].folder, blockfile));
  EXPECT_EQ(chromium[0].backend, ChromiumBackend::kBlockfile);
  EXPECT_TRUE(FindCachesIn(CacheBrowser::kFirefox, blockfile).empty());
  const std::string firefox = testing::SharedSample("firefox-plaso");
  if (firefox.empty()) return;
  // A copied cache2 folder holding the entry files loose, without entries/.
  const std::vector<FoundCache> found = FindCachesIn(CacheBrowser::kFirefox, firefox);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(std::filesystem::equivalent(found[0].folder, firefox + "/cache2"));
  EXPECT_FALSE(found[0].backend.has_value());
  EXPECT_TRUE(FindCachesIn(CacheBrowser::kChromium, firefox).empty());
}

}  // namespace
}  // namespace webhoard
