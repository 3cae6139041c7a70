#include "forms/prefs_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "settings/setting_names.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

constexpr Edition kEditions[] = {Edition::kNavigator, Edition::kInternetExplorer};

// The dialog as start-up creates it, over an in-memory registry that tests
// fill before Create().
class PrefsForm : public ::testing::Test {
 protected:
  TPrefsForm& Create(Edition edition) {
    prompter_ = {};
    settings_ = {};
    form_ = std::make_unique<TPrefsForm>(edition, prompter_, store_, settings_,
                                         [this] { return located_; });
    form_->FormCreate();
    form_->FormShow();
    return *form_;
  }
  void Store(std::string_view name, std::string_view value) {
    store_.WriteSettingText(kExportOptions, name, value);
  }
  std::string Stored(std::string_view section, std::string_view name) const {
    return store_.ReadSettingText(section, name, "unset");
  }
  // Closes the way the window does: the handler, then the closing.
  void Close(void (TPrefsForm::*button)()) {
    (form_.get()->*button)();
    if (form_->closed()) form_->FormClose();
  }

  testing::TempDir dir_;
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  std::string located_;
  std::unique_ptr<TPrefsForm> form_;
};

TEST_F(PrefsForm, OpensOnTheBrowserPageOnlyWhenTheNavigatorIndexIsMissing) {
  const std::string index = dir_.Write("FAT.DB", "");
  const struct {
    Edition edition;
    std::optional<std::string> stored;
    std::string located;
    int page;
  } cases[] = {
      {Edition::kNavigator, std::nullopt, "", kBrowserPage},
      {Edition::kNavigator, std::nullopt, index, kGeneralPage},  // found without the user
      {Edition::kNavigator, dir_.File("gone/FAT.DB"), index, kBrowserPage},
      {Edition::kNavigator, index, "", kGeneralPage},
      {Edition::kInternetExplorer, std::nullopt, "", kGeneralPage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored.value_or("(none)") + " / " + c.located);
    if (c.stored) store_.WriteSettingText(kBrowserOptions, kFatPath, *c.stored);
    located_ = c.located;
    TPrefsForm& form = Create(c.edition);
    EXPECT_EQ(form.ExportPageControl, c.page);
    EXPECT_EQ(form.browser_page_visible, c.edition == Edition::kNavigator);
    EXPECT_FALSE(form.ApplyBtn.enabled);
  }
}

TEST_F(PrefsForm, EmphasisControlsFollowTheStoredChoice) {
  const struct {
    const char* type;
    const char* emphasize;
    std::string tag, de_tag;
    bool custom_fields;
  } cases[] = {
      {"3", "1", "U", "/U", true},
      {"3", "0", "U", "/U", false},  // off: everything disabled, the tags still custom
      {"1", "0", "I", "/I", false},
      {"2", "1", "FONT SIZE=+1", "/FONT", false},
      {"7", "1", "B", "/B", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " emphasize " + c.emphasize);
    Store(kEmphasizeType, c.type);
    Store(kEmphasizeLinks, c.emphasize);
    Store(kEmphasizeTag, "U");
    Store(kDeEmphasizeTag, "/U");
    TPrefsForm& form = Create(Edition::kNavigator);
    const bool on = std::string(c.emphasize) == "1";
    for (const RadioButton* radio :
         {&form.BoldRB, &form.ItalicizedRB, &form.LargerTextRB, &form.CustomRB}) {
      EXPECT_EQ(radio->enabled, on);
    }
    EXPECT_EQ(form.EmphasizedEB.enabled, c.custom_fields);
    EXPECT_EQ(form.DeEmphasizedEB.enabled, c.custom_fields);
    EXPECT_EQ(form.Panel2.greyed, !c.custom_fields);
    EXPECT_EQ(form.Panel2.caption, "<U>Link Here</U>");
    EXPECT_EQ(settings_.emphasizing_tag, c.tag);
    EXPECT_EQ(settings_.de_emphasizing_tag, c.de_tag);
    EXPECT_FALSE(form.ApplyBtn.enabled);
  }
}

TEST_F(PrefsForm, TagEditsAndTheDetailedIndexTakeEffectAtOnceWithoutApply) {
  TPrefsForm& form = Create(Edition::kInternetExplorer);
  form.CheckBox2.checked = true;
  form.CheckBox2Click();
  form.BoldRB.checked = false;
  form.LargerTextRB.checked = true;
  form.CustomRBClick();
  EXPECT_EQ(settings_.emphasizing_tag, "FONT SIZE=+1");
  form.LargerTextRB.checked = false;
  form.CustomRB.checked = true;
  form.CustomRBClick();
  EXPECT_TRUE(form.EmphasizedEB.enabled);
  EXPECT_FALSE(form.Panel2.greyed);
  form.ApplyBtnClick();
  form.EmphasizedEB.text = "B";
  form.EmphasizedEBChange();
  form.DetailedIndexCB.checked = false;
  form.DetailedIndexCBClick();
  EXPECT_EQ(form.Panel2.caption, "<B>Link Here</FONT>");
  EXPECT_EQ(settings_.emphasizing_tag, "B");
  EXPECT_EQ(settings_.de_emphasizing_tag, "/FONT");
  EXPECT_FALSE(settings_.detailed_index);
  EXPECT_FALSE(form.ApplyBtn.enabled);
  Close(&TPrefsForm::OKBtnClick);
  EXPECT_EQ(form.modal_result(), kModalOk);
  EXPECT_EQ(Stored(kExportOptions, kDetailedIndex), "0");
  EXPECT_EQ(Stored(kExportOptions, kEmphasizeTag), "B");
  EXPECT_EQ(Stored(kExportOptions, kEmphasizeType), "3");
}

// What the folder controls change, by edition: the Internet Explorer
// edition moves the current archive folder with every edit, the Navigator
// edition enables Apply and moves it on saving. Browse moves it in both.
TEST_F(PrefsForm, FolderEditsByEditionAndCancelUndoesThem) {
  Store(kDefaultDirectory, "/stored/default");
  Store(kExportDirectoryName, "/stored/second");
  for (const Edition edition : kEditions) {
    SCOPED_TRACE(edition == Edition::kNavigator ? "Navigator" : "Internet Explorer");
    const bool ie = edition == Edition::kInternetExplorer;
    TPrefsForm& form = Create(edition);
    form.DefaultDirectoryEB.text = "/typed";
    form.DefaultDirectoryEBChange();
    EXPECT_EQ(form.ApplyBtn.enabled, !ie);
    EXPECT_EQ(settings_.current_archive_folder, ie ? "/typed" : "/stored/default");

    form.UseDefaultRB.checked = false;
    form.ChooseDirectoryRB.checked = true;
    form.ChooseDirectoryRBClick();
    EXPECT_TRUE(form.ApplyBtn.enabled);
    EXPECT_TRUE(form.ExportDirNameEB.enabled && form.BrowseButton.enabled);
    EXPECT_FALSE(form.DefaultDirectoryEB.enabled || form.BrowseSpeedButton.enabled);
    EXPECT_EQ(settings_.current_archive_folder, ie ? "/stored/second" : "/stored/default");

    prompter_.ChooseFolder(std::nullopt);
    form.BrowseButtonClick();
    prompter_.ChooseFolder("/picked");
    form.BrowseButtonClick();
    EXPECT_EQ(prompter_.picker_starts(),
              (std::vector<std::string>{"/stored/second", "/stored/second"}));
    EXPECT_EQ(form.ExportDirNameEB.text, "/picked");
    EXPECT_EQ(settings_.current_archive_folder, "/picked");

    Close(&TPrefsForm::CancelBtnClick);
    EXPECT_EQ(form.modal_result(), kModalCancel);
    EXPECT_EQ(form.DefaultDirectoryEB.text, "/stored/default");
    EXPECT_EQ(form.ExportDirNameEB.text, "/stored/second");
    EXPECT_TRUE(form.UseDefaultRB.checked);
    EXPECT_EQ(settings_.current_archive_folder, "/stored/default");
    EXPECT_EQ(Stored(kExportOptions, kExportDirectory), "unset");
  }
}

TEST_F(PrefsForm, ApplyThenCancelKeepsTheAppliedValues) {
  for (const Edition edition : kEditions) {
    TPrefsForm& form = Create(edition);
    form.ChooseDirectoryRB.checked = true;
    form.UseDefaultRB.checked = false;
    form.ChooseDirectoryRBClick();
    form.ExportDirNameEB.text = "/second";
    form.ExportDirNameEBChange();
    form.CheckBox1.checked = false;
    form.CheckBox1Click();
    prompter_.ChooseFile("/nav/FAT.DB");
    form.BrowseFATBtnClick();
    form.ApplyBtnClick();
    EXPECT_FALSE(form.ApplyBtn.enabled);
    Close(&TPrefsForm::CancelBtnClick);
    EXPECT_TRUE(form.ChooseDirectoryRB.checked);
    EXPECT_FALSE(form.CheckBox1.checked);
    EXPECT_EQ(settings_.current_archive_folder, "/second");
    EXPECT_FALSE(settings_.show_original_urls);
    if (edition == Edition::kNavigator) {
      EXPECT_EQ(prompter_.file_filters(), std::vector<std::string>{std::string(kFatFileFilter)});
      EXPECT_EQ(form.FATEdit.text, "/nav/FAT.DB");
      EXPECT_EQ(settings_.cache_index_path, "/nav/FAT.DB");
    } else {
      EXPECT_TRUE(prompter_.file_filters().empty());  // no path field, no file dialog
    }
  }
  EXPECT_EQ(Stored(kExportOptions, kExportDirectory), "1");
  EXPECT_EQ(Stored(kExportOptions, kShowOriginalUrls), "0");
}

// The registry refusing the save is said, and OK keeps the dialog open with
// the user's changes, so that nothing is lost silently.
TEST_F(PrefsForm, ASaveThatFailsIsSaidAndKeepsTheDialogOpen) {
  TPrefsForm& form = Create(Edition::kNavigator);
  form.CheckBox3.checked = false;
  form.CheckBox3Click();
  registry_.set_read_only(true);
  form.ApplyBtnClick();
  form.OKBtnClick();
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[0].text, kSettingsNotSaved);
  EXPECT_EQ(prompter_.messages()[0].kind, MessageKind::kError);
  EXPECT_FALSE(form.closed());
  EXPECT_TRUE(form.ApplyBtn.enabled);
  EXPECT_FALSE(form.CheckBox3.checked);

  registry_.set_read_only(false);
  form.OKBtnClick();
  EXPECT_EQ(form.modal_result(), kModalOk);
  EXPECT_EQ(Stored(kExportOptions, kStrikeoutLinks), "0");
}

}  // namespace
}  // namespace webhoard
