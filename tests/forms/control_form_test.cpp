#include "forms/control_form.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/setting_names.h"
#include "support/explorer_items.h"
#include "support/fake_opener.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

// The main window over a real Cache Explorer whose reader finds one new
// item per reading, and a Properties dialog that only counts its showings.
class ControlForm : public ::testing::Test {
 protected:
  TControlForm Open(Edition edition, SettingsStore& store) {
    explorer_.set_cache_reader([this](TCacheItemList& items) {
      testing::AddItem(items, "read" + std::to_string(++reads_) + ".com", kCategoryText, 45000.0);
      return true;
    });
    ControlFormWindows windows;
    windows.show_cache_explorer = [this] {
      EXPECT_TRUE(explorer_.load_pending);
      explorer_.FormShow();
      explorer_.FormPaint();
    };
    windows.show_properties = [this] { ++properties_shown_; };
    return TControlForm(edition, prompter_, store, settings_, items_, explorer_, windows);
  }

  testing::TempDir dir_;
  testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  TCacheItemList items_;
  TSelectionForm explorer_{Edition::kNavigator, prompter_, items_};
  int reads_ = 0;
  int properties_shown_ = 0;
};

TEST_F(ControlForm, CacheExplorerNeedsTheNavigatorIndexAndReadsAfreshEachTime) {
  const std::string index = dir_.Write("cache/FAT.DB", "");
  const struct {
    Edition edition;
    std::string cache_index_path;
    bool opens;
  } cases[] = {
      {Edition::kNavigator, "", false},
      {Edition::kNavigator, dir_.File("cache/gone/FAT.DB"), false},
      {Edition::kNavigator, index, true},
      {Edition::kNavigator, dir_.path() + "\\cache\\FAT.DB", true},  // as Navigator records it
      {Edition::kInternetExplorer, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cache_index_path);
    prompter_ = {};
    properties_shown_ = 0;
    items_.clear();
    testing::AddItem(items_, "stale.com", kCategoryText, 45000.0);
    settings_.cache_index_path = c.cache_index_path;
    testing::MemoryRegistry registry;
    SettingsStore store(registry);
    TControlForm form = Open(c.edition, store);
    form.WebhoardButtonClick();
    form.WebhoardButtonClick();
    ASSERT_EQ(items_.size(), 1u);  // the last reading alone, or untouched
    if (c.opens) {
      EXPECT_TRUE(prompter_.messages().empty());
      EXPECT_EQ(items_[0]->Domain, "read" + std::to_string(reads_) + ".com");
      EXPECT_EQ(explorer_.DstList.items, std::vector<std::string>{items_[0]->Domain});
    } else {
      ASSERT_EQ(prompter_.messages().size(), 2u);
      EXPECT_EQ(prompter_.messages()[0].text, kInvalidNetscapePath);
      EXPECT_EQ(prompter_.messages()[0].kind, MessageKind::kInformation);
      EXPECT_EQ(properties_shown_, 2);
      EXPECT_EQ(items_[0]->Domain, "stale.com");
    }
  }
}

// An empty folder setting names no archive: the working folder, which holds
// an entry page here, is never opened.
TEST_F(ControlForm, IndexCommandsOpenTheEntryPageOrSayThereIsNone) {
  const std::string page = dir_.Write("archive/1st_page.htm", "<HTML></HTML>");
  dir_.Write("work/1st_page.htm", "<HTML></HTML>");
  const std::filesystem::path started_in = std::filesystem::current_path();
  std::filesystem::current_path(dir_.File("work"));
  const struct {
    std::string_view setting;
    std::optional<std::string> stored;
    bool opens;
  } cases[] = {
      {kDefaultDirectory, dir_.File("archive/"), true},
      {kDefaultDirectory, dir_.File("archive"), true},
      {kDefaultDirectory, dir_.path() + "\\archive\\", true},
      {kDefaultDirectory, dir_.File("empty/"), false},
      {kDefaultDirectory, "", false},
      {kExportDirectoryName, dir_.File("archive"), true},
      {kExportDirectoryName, std::nullopt, false},
      {kExportDirectoryName, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + ": " + c.stored.value_or("(none)"));
    testing::MemoryRegistry registry;
    SettingsStore store(registry);
    if (c.stored) store.WriteSettingText(kExportOptions, c.setting, *c.stored);
    prompter_ = {};
    testing::FakeOpener opener("exit 0");
    TControlForm form = Open(Edition::kInternetExplorer, store);
    const bool secondary = c.setting == kExportDirectoryName;
    secondary ? form.SecondaryIndexClick() : form.ViewButtonClick();
    if (c.opens) {
      EXPECT_TRUE(prompter_.messages().empty());
      EXPECT_TRUE(opener.Opened(page));
    } else {
      EXPECT_EQ(opener.RecordedArguments(/*wait_for_opener=*/false), std::nullopt);
      ASSERT_EQ(prompter_.messages().size(), 1u);
      EXPECT_EQ(prompter_.messages()[0].text, secondary ? kNoSecondaryIndex : kNoDefaultIndex);
    }
  }
  std::filesystem::current_path(started_in);
}

}  // namespace
}  // namespace webhoard
