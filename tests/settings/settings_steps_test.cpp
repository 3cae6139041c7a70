// Loading and saving the Properties dialog's settings: defaults on a first
// start, how stored codes choose tags and folders, and the round trip.
#include "settings/settings_steps.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/program_data_folder.h"
#include "settings/setting_names.h"
#include "support/environment.h"
#include "support/memory_registry.h"

namespace webhoard {
namespace {

using testing::MemoryRegistry;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

class SettingsSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetEnvironment("WEBHOARD_HOME", "/opt/webhoard");
    ResetProgramDataFolderForTesting();
  }
  void TearDown() override {
    testing::SetEnvironment("WEBHOARD_HOME", nullptr);
    ResetProgramDataFolderForTesting();
  }

  void Store(std::string_view section, std::string_view name, std::string_view text) {
    ASSERT_TRUE(registry_.WriteString(
        kUser, std::string(kSettingsKeyPath) + "\\" + std::string(section), name, text));
  }
  PropertiesFields Load(Edition edition = Edition::kNavigator) {
    return LoadSettings(store_, edition, settings_, [this] {
      ++locate_calls_;
      return std::string("C:\\NETSCAPE\\CACHE\\FAT.DB");
    });
  }

  MemoryRegistry registry_;
  SettingsStore store_{registry_};
  InMemorySettings settings_;
  int locate_calls_ = 0;
};

TEST_F(SettingsSteps, FirstStartGivesTheDefaults) {
  settings_.emphasize_links = true;  // whatever the in-memory values were before
  const PropertiesFields fields = Load();
  EXPECT_EQ(fields.fat_path, "C:\\NETSCAPE\\CACHE\\FAT.DB");
  EXPECT_EQ(settings_.cache_index_path, "C:\\NETSCAPE\\CACHE\\FAT.DB");
  EXPECT_EQ(fields.default_directory, "/opt/webhoard/ARCHIVE/");
  EXPECT_EQ(settings_.current_archive_folder, "/opt/webhoard/ARCHIVE/");
  EXPECT_TRUE(settings_.show_original_urls);
  EXPECT_FALSE(settings_.emphasize_links);
  EXPECT_TRUE(settings_.strikeout_links);
  EXPECT_TRUE(settings_.detailed_index);
  EXPECT_EQ(fields.emphasis, Emphasis::kBold);
  EXPECT_EQ(settings_.emphasizing_tag, "B");
  EXPECT_EQ(settings_.de_emphasizing_tag, "/B");
  EXPECT_EQ(fields.emphasize_tag, "FONT FACE=\"Arial\"");
  EXPECT_EQ(fields.de_emphasize_tag, "/FONT");
  EXPECT_FALSE(fields.use_secondary_folder);
  EXPECT_EQ(fields.secondary_folder, "");
  EXPECT_EQ(ReadSearchDirectory(store_), "/opt/webhoard/ARCHIVE/");
  EXPECT_EQ(ReadReindexDirectory(store_), "/opt/webhoard/ARCHIVE/");
  EXPECT_EQ(ReadInternetExplorerCacheFolder(store_), "");
}

TEST_F(SettingsSteps, TheStoredEmphasisTypeChoosesTheTags) {
  Store(kExportOptions, kEmphasizeTag, "SPAN CLASS=\"hit\"");
  Store(kExportOptions, kDeEmphasizeTag, "/SPAN");
  const struct {
    const char* stored;
    Emphasis emphasis;
    const char* tag;
    const char* de_tag;
  } cases[] = {
      {"3", Emphasis::kCustom, "SPAN CLASS=\"hit\"", "/SPAN"},
      {"0x2", Emphasis::kLarger, "FONT SIZE=+1", "/FONT"},
      {"1", Emphasis::kItalic, "I", "/I"},
      {"abc", Emphasis::kBold, "B", "/B"},
      {"7", Emphasis::kBold, "B", "/B"},
      {"0x103", Emphasis::kCustom, "SPAN CLASS=\"hit\"", "/SPAN"},  // only the low 8 bits count
      {"-1", Emphasis::kBold, "B", "/B"},
  };
  for (const auto& c : cases) {
    Store(kExportOptions, kEmphasizeType, c.stored);
    EXPECT_EQ(Load().emphasis, c.emphasis) << c.stored;
    EXPECT_EQ(settings_.emphasizing_tag, c.tag) << c.stored;
    EXPECT_EQ(settings_.de_emphasizing_tag, c.de_tag) << c.stored;
  }
}

TEST_F(SettingsSteps, TheStoredFolderChoiceSetsTheCurrentArchiveFolder) {
  Store(kExportOptions, kDefaultDirectory, "/data/main/");
  Store(kExportOptions, kExportDirectory, "1");
  EXPECT_TRUE(Load().use_secondary_folder);
  EXPECT_EQ(settings_.current_archive_folder, "");  // chosen but never named
  Store(kExportOptions, kExportDirectoryName, "/data/second/");
  Load();
  EXPECT_EQ(settings_.current_archive_folder, "/data/second/");
  Store(kExportOptions, kExportDirectory, "0x101");
  Load();
  EXPECT_EQ(settings_.current_archive_folder, "/data/second/");
  Store(kExportOptions, kExportDirectory, "2");
  EXPECT_FALSE(Load().use_secondary_folder);
  EXPECT_EQ(settings_.current_archive_folder, "/data/main/");
  // A stored empty folder stays empty, also for the folders that default to it.
  Store(kExportOptions, kDefaultDirectory, "");
  Load();
  EXPECT_EQ(settings_.current_archive_folder, "");
  EXPECT_EQ(ReadSearchDirectory(store_), "");
  Store(kSearchOptions, kSearchDirectory, "/searched/");
  EXPECT_EQ(ReadSearchDirectory(store_), "/searched/");
}

TEST_F(SettingsSteps, OnlyTheNavigatorEditionReadsTheCacheIndexPath) {
  settings_.cache_index_path = "untouched";
  const PropertiesFields fields = Load(Edition::kInternetExplorer);
  EXPECT_EQ(locate_calls_, 0);
  EXPECT_EQ(fields.fat_path, "");
  EXPECT_EQ(settings_.cache_index_path, "untouched");
  Store(kBrowserOptions, kFatPath, "");
  EXPECT_EQ(Load(Edition::kNavigator).fat_path, "");  // a stored empty path stays empty
  EXPECT_EQ(settings_.cache_index_path, "");
}

TEST_F(SettingsSteps, SavedFieldsLoadBackAndSetTheCurrentFolder) {
  PropertiesFields fields;
  fields.fat_path = "/home/u/.netscape/cache/index.db";
  fields.default_directory = "/a/";
  fields.show_original_urls = false;
  fields.emphasize_links = true;
  fields.strikeout_links = false;
  fields.detailed_index = false;
  fields.emphasize_tag = "EM";
  fields.de_emphasize_tag = "/EM";
  fields.emphasis = Emphasis::kCustom;
  fields.use_secondary_folder = true;
  fields.secondary_folder = "/b/";
  ASSERT_TRUE(SaveSettings(store_, Edition::kNavigator, fields, settings_));
  EXPECT_EQ(settings_.cache_index_path, "/home/u/.netscape/cache/index.db");
  EXPECT_EQ(settings_.current_archive_folder, "/b/");
  EXPECT_EQ(registry_.ReadString(kUser, "Software\\Tarnwell\\Webhoard\\Export to disk properties",
                                 "Emphasize Type"),
            "3");

  InMemorySettings reloaded;
  const PropertiesFields back = LoadSettings(store_, Edition::kNavigator, reloaded, nullptr);
  EXPECT_EQ(back.fat_path, fields.fat_path);
  EXPECT_EQ(back.default_directory, "/a/");
  EXPECT_FALSE(back.show_original_urls);
  EXPECT_TRUE(back.emphasize_links);
  EXPECT_FALSE(back.strikeout_links);
  EXPECT_FALSE(back.detailed_index);
  EXPECT_EQ(back.emphasis, Emphasis::kCustom);
  EXPECT_EQ(reloaded.emphasizing_tag, "EM");
  EXPECT_EQ(reloaded.de_emphasizing_tag, "/EM");
  EXPECT_TRUE(back.use_secondary_folder);
  EXPECT_EQ(reloaded.current_archive_folder, "/b/");

  // The Internet Explorer edition keeps its current folder (the dialog set it
  // while editing) and never touches the browser options.
  PropertiesFields explorer = back;
  explorer.fat_path = "ignored";
  explorer.use_secondary_folder = false;
  settings_.current_archive_folder = "/as/edited/";
  ASSERT_TRUE(SaveSettings(store_, Edition::kInternetExplorer, explorer, settings_));
  EXPECT_EQ(settings_.current_archive_folder, "/as/edited/");
  EXPECT_EQ(LoadSettings(store_, Edition::kNavigator, reloaded, nullptr).fat_path, fields.fat_path);
}

TEST_F(SettingsSteps, LongFoldersAreKeptWholeAndLongTagsAreCut) {
  const std::string folder = "/" + std::string(300, 'f') + "/";
  Store(kExportOptions, kDefaultDirectory, folder);
  Store(kBrowserOptions, kFatPath, folder + "FAT.DB");
  Store(kExportOptions, kEmphasizeTag, std::string(300, 't'));
  Store(kExportOptions, kEmphasizeType, "3");
  const PropertiesFields fields = Load();
  // A folder cut short would name another folder: archives would be written
  // there and cache files of another cache deleted.
  EXPECT_EQ(settings_.current_archive_folder, folder);
  EXPECT_EQ(settings_.cache_index_path, folder + "FAT.DB");
  EXPECT_EQ(fields.emphasize_tag.size(), 300u);
  EXPECT_EQ(settings_.emphasizing_tag.size(), 255u);
}

TEST_F(SettingsSteps, SavingReportsAStoreThatCannotBeWritten) {
  registry_.set_read_only(true);
  settings_.current_archive_folder = "/before/";
  PropertiesFields fields;
  fields.default_directory = "/after/";
  EXPECT_FALSE(SaveSettings(store_, Edition::kNavigator, fields, settings_));
  EXPECT_FALSE(WriteInternetExplorerCacheFolder(store_, "/x/"));
  registry_.set_read_only(false);
  ASSERT_TRUE(WriteInternetExplorerCacheFolder(store_, "/home/u/.wine/drive_c/Temp/Content.IE5"));
  EXPECT_EQ(ReadInternetExplorerCacheFolder(store_), "/home/u/.wine/drive_c/Temp/Content.IE5");
}

}  // namespace
}  // namespace webhoard
