// A run's own choices over the stored settings: each choice replaces only
// its own setting, emphasis tags come from the stored custom tags when asked
// for, and the store is never written.
#include "settings/run_settings.h"

#include <gtest/gtest.h>

#include "settings/setting_names.h"
#include "support/memory_registry.h"

namespace webhoard {
namespace {

TEST(RunSettings, ChoicesReplaceOnlyWhatTheyName) {
  struct Row {
    const char* what;
    RunChoices choices;
    bool emphasize;
    const char* tag;
    const char* de_tag;
    bool original_urls;
    bool strikeout;
    bool detailed;
    const char* folder;
  };
  RunChoices off;
  off.emphasize_links = false;
  RunChoices custom;
  custom.emphasize_links = true;
  custom.emphasis = Emphasis::kCustom;
  RunChoices larger;
  larger.emphasize_links = true;
  larger.emphasis = Emphasis::kLarger;
  RunChoices others;
  others.show_original_urls = true;
  others.strikeout_links = false;
  others.detailed_index = false;
  others.archive_folder = "/runs/today/";
  const Row rows[] = {
      {"nothing chosen", {}, true, "I", "/I", false, true, true, "/stored/"},
      {"emphasis off keeps the tags", off, false, "I", "/I", false, true, true, "/stored/"},
      {"custom tags as stored", custom, true, "FONT COLOR=red", "/FONT", false, true, true,
       "/stored/"},
      {"larger", larger, true, "FONT SIZE=+1", "/FONT", false, true, true, "/stored/"},
      {"the other choices", others, true, "I", "/I", true, false, false, "/runs/today/"},
  };
  for (const Row& row : rows) {
    testing::MemoryRegistry registry;
    SettingsStore store(registry);
    store.WriteSettingText(kExportOptions, kDefaultDirectory, "/stored/");
    store.WriteSettingFlag(kExportOptions, kShowOriginalUrls, false);
    store.WriteSettingFlag(kExportOptions, kEmphasizeLinks, true);
    store.WriteSettingNumber(kExportOptions, kEmphasizeType, 1);  // italic
    store.WriteSettingText(kExportOptions, kEmphasizeTag, "FONT COLOR=red");
    store.WriteSettingText(kExportOptions, kDeEmphasizeTag, "/FONT");

    InMemorySettings settings;
    LoadRunSettings(store, Edition::kInternetExplorer, row.choices, settings);
    EXPECT_EQ(settings.emphasize_links, row.emphasize) << row.what;
    EXPECT_EQ(settings.emphasizing_tag, row.tag) << row.what;
    EXPECT_EQ(settings.de_emphasizing_tag, row.de_tag) << row.what;
    EXPECT_EQ(settings.show_original_urls, row.original_urls) << row.what;
    EXPECT_EQ(settings.strikeout_links, row.strikeout) << row.what;
    EXPECT_EQ(settings.detailed_index, row.detailed) << row.what;
    EXPECT_EQ(settings.current_archive_folder, row.folder) << row.what;
    // The store keeps what the Properties dialog saved.
    EXPECT_FALSE(store.ReadSettingFlag(kExportOptions, kShowOriginalUrls, true)) << row.what;
    EXPECT_EQ(store.ReadSettingText(kExportOptions, kDefaultDirectory, ""), "/stored/");
  }
}

}  // namespace
}  // namespace webhoard
