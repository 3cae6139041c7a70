// The bundled sample caches, read and archived by the `webhoard` program as a
// user runs it (a separate process with its own settings folder).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/file_util.h"
#include "index/image_size.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

const std::string kSamples = std::string(WEBHOARD_SOURCE_DIR) + "/samples";
const std::string kNetscapeIndex = kSamples + "/netscape/FAT.DB";
const std::string kInternetExplorerContainer = kSamples + "/ie/Content.IE5";

using Outcome = testing::ProgramOutcome;

class BundledSamples : public ::testing::Test {
 protected:
  BundledSamples() {
    std::filesystem::create_directories(dir_.File("home"));
    std::filesystem::copy(std::string(WEBHOARD_SOURCE_DIR) + "/images", dir_.File("home/images"));
  }

  Outcome Run(const std::string& arguments) {
    return testing::RunProgram(WEBHOARD_CLI, testing::SplitArguments(arguments),
                               {{"WEBHOARD_CONFIG_DIR", dir_.File("config")},
                                {"WEBHOARD_HOME", dir_.File("home")}});
  }

  static std::size_t Lines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
  }

  // Where the archive puts the hiking club's documents: Navigator copies are
  // named after the address, Internet Explorer copies after the cached file.
  struct HikerCopies {
    std::string logo, photo, sound, map, trails;
  };

  // Lists the cache, then archives it into a fresh folder and checks what
  // arrived: one copy per item, the pictures byte for byte, links between
  // the archived pages rewritten to the copies.
  void ListAndArchive(const std::string& cache_option, const HikerCopies& copies) {
    const Outcome all = Run("list " + cache_option);
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(Lines(all.out), 14u);
    EXPECT_NE(all.err.find("14 entries, 14 items, 0 dropped"), std::string::npos) << all.err;
    EXPECT_NE(all.err.find("Text 8, Media 5, Other 1"), std::string::npos) << all.err;
    EXPECT_EQ(Lines(Run("list " + cache_option + " --domain museum.millbrook.example").out), 3u);
    EXPECT_EQ(Lines(Run("list " + cache_option + " --types media").out), 5u);

    const std::string archive = dir_.File("archive");
    const Outcome made = Run("archive " + cache_option + " --to " + archive + " --yes");
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, archive + "/1st_page.htm\n");
    EXPECT_NE(made.err.find("14 items archived, 0 failed, 0 of no known type; the archive holds 14 "
                            "items of 3 sites, "),
              std::string::npos)
        << made.err;
    // The README's search example finds the recipe.
    const Outcome found = Run("search " + archive + " --text 'trail loaf'");
    EXPECT_NE(found.out.find("http://www.hearth-kitchen.example/recipes/bread.html\t"),
              std::string::npos)
        << found.out;
    EXPECT_TRUE(FileExists(archive + "/1st_page.htm"));
    const std::string site = archive + "/www.ridgeline-hikers.example/";
    const auto logo = ReadFileBytes(site + copies.logo);
    ASSERT_TRUE(logo.has_value());
    EXPECT_EQ(logo->rfind("GIF89a", 0), 0u);
    const auto photo = ReadFileBytes(site + copies.photo);
    ASSERT_TRUE(photo.has_value());
    EXPECT_EQ(photo->rfind("\xFF\xD8\xFF\xE0", 0), 0u);
    // The sizes the pages give in their IMG tags are the pictures' own.
    std::int32_t width = 0, height = 0;
    EXPECT_TRUE(GetImageSize(site + copies.logo, width, height));
    EXPECT_EQ(width, 96);
    EXPECT_EQ(height, 32);
    EXPECT_TRUE(GetImageSize(site + copies.photo, width, height));
    EXPECT_EQ(width, 160);
    EXPECT_EQ(height, 96);
    EXPECT_TRUE(FileExists(site + copies.sound));
    EXPECT_TRUE(FileExists(site + copies.map));
    const std::string trails = ReadFileBytes(site + copies.trails).value_or("");
    EXPECT_NE(trails.find("Millbrook Loop"), std::string::npos);
    // Links to cached documents lead to the copies; links to pages never
    // cached keep their web address.
    EXPECT_NE(trails.find("href=\"../../www.ridgeline-hikers.example/" + copies.map + "\""),
              std::string::npos)
        << trails;
    EXPECT_NE(trails.find("href=\"http://www.ridgeline-hikers.example/trails-winter.html\""),
              std::string::npos)
        << trails;
  }

  testing::TempDir dir_;
};

TEST_F(BundledSamples, NavigatorCacheListsAndArchives) {
  ListAndArchive("--netscape " + kNetscapeIndex,
                 {"image/logo.gif", "image/summit.jpg", "audio/birdsong.au",
                  "application/trailmap.pdf", "text/trails.htm"});
}

#ifndef _WIN32  // containers by folder: Windows has WinINet
TEST_F(BundledSamples, InternetExplorerContainerListsAndArchives) {
  ListAndArchive("--ie " + kInternetExplorerContainer,
                 {"image/logo[1].gif", "image/summit[1].jpg", "audio/birdsong[1].au",
                  "application/trail-map[1].pdf", "text/trails[1].html"});
}

// The samples are committed: the same fourteen documents sit in both caches.
TEST_F(BundledSamples, BothCachesHoldTheSameAddresses) {
  auto addresses = [&](const std::string& option) {
    std::string out = Run("list " + option).out;
    std::vector<std::string> urls;
    std::size_t start = 0;
    while (start < out.size()) {
      const std::size_t end = out.find('\n', start);
      std::string line = out.substr(start, end - start);
      // The fourth tab-separated field is the address.
      std::size_t field = 0;
      for (int i = 0; i < 3; ++i) field = line.find('\t', field) + 1;
      urls.push_back(line.substr(field, line.find('\t', field) - field));
      start = end + 1;
    }
    std::sort(urls.begin(), urls.end());
    return urls;
  };
  const auto navigator = addresses("--netscape " + kNetscapeIndex);
  EXPECT_EQ(navigator.size(), 14u);
  EXPECT_EQ(navigator, addresses("--ie " + kInternetExplorerContainer));
}
#endif

}  // namespace
}  // namespace webhoard
