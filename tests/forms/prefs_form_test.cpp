#include "forms/prefs_form.h"

#include <gtest/gtest.h>

#include <memory>

#include "settings/setting_names.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

// The dialog as start-up creates it and the window shows it, over an
// in-memory registry that tests fill first.
class PrefsForm : public ::testing::Test {
 protected:
  TPrefsForm& Show(Edition edition) {
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
  std::string Stored(std::string_view name) const {
    return store_.ReadSettingText(kExportOptions, name, "unset");
  }
  // A button, then the closing the window reports.
  void Close(void (TPrefsForm::*button)()) {
    (form_.get()->*button)();
    if (form_->closed()) form_->FormClose();
  }
  // The window checks one radio button of a group, clears the others and
  // calls the group's handler.
  static void ChooseSecondary(TPrefsForm& form) {
    form.UseDefaultRB.checked = false;
    form.ChooseDirectoryRB.checked = true;
    form.ChooseDirectoryRBClick();
  }
  static void ChooseEmphasis(TPrefsForm& form, const RadioButton& chosen) {
    for (RadioButton* r : {&form.BoldRB, &form.ItalicizedRB, &form.LargerTextRB, &form.CustomRB}) {
      r->checked = r == &chosen;
    }
    form.CustomRBClick();
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
      {Edition::kNavigator, std::nullopt, index, kGeneralPage},
      {Edition::kNavigator, dir_.File("gone/FAT.DB"), index, kBrowserPage},
      {Edition::kInternetExplorer, std::nullopt, "", kGeneralPage},
  };
  for (const auto& c : cases) {
    if (c.stored) store_.WriteSettingText(kBrowserOptions, kFatPath, *c.stored);
    located_ = c.located;
    EXPECT_EQ(Show(c.edition).ExportPageControl, c.page) << c.located;
  }
}

TEST_F(PrefsForm, EmphasisControlsFollowTheStoredChoice) {
  const struct {
    const char* type;
    const char* emphasize;
    std::string tag;
    bool custom_fields;
  } cases[] = {
      {"3", "1", "U", true},
      {"3", "0", "U", false},  // off: all disabled, the tags still the stored choice
      {"1", "0", "I", false},
      {"7", "1", "B", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " emphasize " + c.emphasize);
    Store(kEmphasizeType, c.type);
    Store(kEmphasizeLinks, c.emphasize);
    Store(kEmphasizeTag, "U");
    TPrefsForm& form = Show(Edition::kNavigator);
    EXPECT_EQ(form.CustomRB.enabled, *c.emphasize == '1');
    EXPECT_EQ(form.BoldRB.enabled, *c.emphasize == '1');
    EXPECT_EQ(form.EmphasizedEB.enabled, c.custom_fields);
    EXPECT_EQ(form.Panel2.greyed, !c.custom_fields);
    EXPECT_EQ(form.Panel2.caption, "<U>Link Here</FONT>");
    EXPECT_EQ(settings_.emphasizing_tag, c.tag);
    EXPECT_FALSE(form.ApplyBtn.enabled);
  }
}

TEST_F(PrefsForm, TagEditsAndTheDetailedIndexActAtOnceWithoutEnablingApply) {
  TPrefsForm& form = Show(Edition::kInternetExplorer);
  form.CheckBox2.checked = true;
  form.CheckBox2Click();
  ChooseEmphasis(form, form.LargerTextRB);
  EXPECT_EQ(settings_.emphasizing_tag, "FONT SIZE=+1");
  ChooseEmphasis(form, form.CustomRB);
  EXPECT_TRUE(form.EmphasizedEB.enabled);
  form.ApplyBtnClick();
  form.EmphasizedEB.text = "B";
  form.EmphasizedEBChange();
  form.DetailedIndexCB.checked = false;
  form.DetailedIndexCBClick();
  EXPECT_EQ(form.Panel2.caption, "<B>Link Here</FONT>");
  EXPECT_EQ(settings_.emphasizing_tag, "B");
  EXPECT_FALSE(settings_.detailed_index);
  EXPECT_FALSE(form.ApplyBtn.enabled);
  Close(&TPrefsForm::OKBtnClick);
  EXPECT_EQ(Stored(kDetailedIndex), "0");
  EXPECT_EQ(Stored(kEmphasizeTag), "B");
}

// The Internet Explorer edition moves the current archive folder with every
// edit, the Navigator edition on saving; Browse moves it in both. Cancel
// undoes all of it, Apply before it keeps what was applied.
TEST_F(PrefsForm, FolderEditsByEditionCancelAndApply) {
  for (const Edition edition : {Edition::kNavigator, Edition::kInternetExplorer}) {
    SCOPED_TRACE(edition == Edition::kNavigator ? "Navigator" : "Internet Explorer");
    const bool ie = edition == Edition::kInternetExplorer;
    Store(kDefaultDirectory, "/stored/default");
    Store(kExportDirectory, "0");
    Store(kExportDirectoryName, "/stored/second");
    store_.WriteSettingText(kBrowserOptions, kFatPath, "");
    TPrefsForm& form = Show(edition);
    form.DefaultDirectoryEB.text = "/typed";
    form.DefaultDirectoryEBChange();
    EXPECT_EQ(form.ApplyBtn.enabled, !ie);
    EXPECT_EQ(settings_.current_archive_folder, ie ? "/typed" : "/stored/default");
    for (const bool apply : {false, true}) {
      ChooseSecondary(form);
      EXPECT_TRUE(form.ExportDirNameEB.enabled && !form.DefaultDirectoryEB.enabled);
      EXPECT_TRUE(form.ApplyBtn.enabled);
      prompter_.ChooseFolder("/picked");
      form.BrowseButtonClick();
      EXPECT_EQ(settings_.current_archive_folder, "/picked");
      prompter_.ChooseFile("/nav/FAT.DB");
      form.BrowseFATBtnClick();
      if (apply) form.ApplyBtnClick();
      Close(&TPrefsForm::CancelBtnClick);
      EXPECT_EQ(form.ChooseDirectoryRB.checked, apply);
      EXPECT_EQ(form.ExportDirNameEB.text, apply ? "/picked" : "/stored/second");
      EXPECT_EQ(settings_.current_archive_folder, apply ? "/picked" : "/stored/default");
      EXPECT_EQ(settings_.cache_index_path, apply && !ie ? "/nav/FAT.DB" : "");
    }
    EXPECT_EQ(prompter_.file_filters(),
              std::vector<std::string>(ie ? 0 : 2, std::string(kFatFileFilter)));
  }
}

// The registry refusing the save is said, and OK keeps the dialog open with
// the user's changes, so that nothing is lost silently.
TEST_F(PrefsForm, ASaveThatFailsIsSaidAndKeepsTheDialogOpen) {
  TPrefsForm& form = Show(Edition::kNavigator);
  form.CheckBox3.checked = false;
  form.CheckBox3Click();
  registry_.set_read_only(true);
  form.ApplyBtnClick();
  form.OKBtnClick();
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[1].text, kSettingsNotSaved);
  EXPECT_EQ(prompter_.messages()[1].kind, MessageKind::kError);
  EXPECT_FALSE(form.closed());
  EXPECT_TRUE(form.ApplyBtn.enabled);
  registry_.set_read_only(false);
  form.OKBtnClick();
  EXPECT_EQ(form.modal_result(), kModalOk);
  EXPECT_EQ(Stored(kStrikeoutLinks), "0");
}

}  // namespace
}  // namespace webhoard
