#include "forms/control_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>

#include "settings/setting_names.h"
#include "support/explorer_items.h"
#include "support/fake_opener.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

// Runs the test inside `folder` and goes back when it ends.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~WorkingFolder() { std::filesystem::current_path(before_); }

 private:
  std::filesystem::path before_;
};

// The main window over fake windows that count their showings; the Cache
// Explorer is a real one whose reader finds one new item per reading.
class ControlForm : public ::testing::Test {
 protected:
  void SetUp() override {
    explorer_.set_cache_reader([this](TCacheItemList& items) {
      testing::AddItem(items, "read" + std::to_string(++reads_) + ".com", kCategoryText, 45000.0);
      return true;
    });
  }
  TControlForm& Open(Edition edition) {
    ControlFormWindows windows;
    windows.show_cache_explorer = [this] {
      EXPECT_TRUE(explorer_.load_pending);
      explorer_.FormShow();
      explorer_.FormPaint();
      ++shown_["explorer"];
    };
    windows.show_properties = [this] { ++shown_["properties"]; };
    windows.show_help = [this](int topic) { return help_ && topic == 1; };
    form_.emplace(edition, prompter_, store_, settings_, items_, explorer_, windows);
    return *form_;
  }

  testing::TempDir dir_;
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  TCacheItemList items_;
  TSelectionForm explorer_{Edition::kNavigator, prompter_, items_};
  int reads_ = 0;
  bool help_ = false;
  std::map<std::string, int> shown_;
  std::optional<TControlForm> form_;
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
    shown_.clear();
    items_.clear();
    testing::AddItem(items_, "stale.com", kCategoryText, 45000.0);
    settings_.cache_index_path = c.cache_index_path;
    TControlForm& form = Open(c.edition);
    form.WebhoardButtonClick();
    form.WebhoardButtonClick();
    if (c.opens) {
      EXPECT_TRUE(prompter_.messages().empty());
      EXPECT_EQ(shown_["explorer"], 2);
      ASSERT_EQ(items_.size(), 1u);  // the last reading only
      EXPECT_EQ(items_[0]->Domain, "read" + std::to_string(reads_) + ".com");
      EXPECT_EQ(explorer_.DstList.items, std::vector<std::string>{items_[0]->Domain});
    } else {
      ASSERT_EQ(prompter_.messages().size(), 2u);
      EXPECT_EQ(prompter_.messages()[0].text, kInvalidNetscapePath);
      EXPECT_EQ(prompter_.messages()[0].kind, MessageKind::kInformation);
      EXPECT_EQ(shown_["properties"], 2);
      EXPECT_EQ(shown_["explorer"], 0);
      ASSERT_EQ(items_.size(), 1u);
      EXPECT_EQ(items_[0]->Domain, "stale.com");
    }
  }
}

TEST_F(ControlForm, IndexCommandsOpenTheEntryPageOrSayThereIsNone) {
  const std::string page = dir_.Write("archive/1st_page.htm", "<HTML></HTML>");
  dir_.Write("work/1st_page.htm", "<HTML></HTML>");  // the working folder is no archive
  WorkingFolder work(dir_.File("work"));
  const struct {
    std::string_view setting;
    std::optional<std::string> stored;
    bool opens;
  } cases[] = {
      {kDefaultDirectory, dir_.File("archive/"), true},
      {kDefaultDirectory, dir_.File("archive"), true},  // no trailing separator
      {kDefaultDirectory, dir_.path() + "\\archive\\", true},
      {kDefaultDirectory, dir_.File("empty/"), false},
      {kDefaultDirectory, "", false},
      {kExportDirectoryName, dir_.File("archive"), true},
      {kExportDirectoryName, std::nullopt, false},  // never set: empty
      {kExportDirectoryName, "", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting) + ": " + c.stored.value_or("(none)"));
    testing::MemoryRegistry registry;
    SettingsStore store(registry);
    if (c.stored) store.WriteSettingText(kExportOptions, c.setting, *c.stored);
    prompter_ = {};
    testing::FakeOpener opener("exit 0");
    TControlForm form(Edition::kInternetExplorer, prompter_, store, settings_, items_, explorer_,
                      {});
    const bool secondary = c.setting == kExportDirectoryName;
    secondary ? form.SecondaryIndexClick() : form.ViewButtonClick();
    if (c.opens) {
      EXPECT_TRUE(prompter_.messages().empty());
      EXPECT_EQ(opener.RecordedArguments(), "1\n" + page + "\n");
    } else {
      EXPECT_EQ(opener.RecordedArguments(), std::nullopt);
      ASSERT_EQ(prompter_.messages().size(), 1u);
      EXPECT_EQ(prompter_.messages()[0].text, secondary ? kNoSecondaryIndex : kNoDefaultIndex);
      EXPECT_EQ(prompter_.messages()[0].buttons, unsigned{kButtonOk});
    }
  }
}

TEST_F(ControlForm, HelpFailureIsSaidAndTheMouseFocusesOnlyTheFourButtons) {
  TControlForm& form = Open(Edition::kNavigator);
  form.Contents1Click();
  help_ = true;
  form.Contents1Click();
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "Help file not found");
  EXPECT_EQ(prompter_.messages()[0].kind, MessageKind::kError);

  form.WebhoardButtonMouseMove(form.SearchButton);
  EXPECT_EQ(form.focused_button(), &form.SearchButton);
  Button elsewhere;
  form.WebhoardButtonMouseMove(elsewhere);
  EXPECT_EQ(form.focused_button(), &form.SearchButton);
}

}  // namespace
}  // namespace webhoard
