#include "forms/prefs_form.h"

#include <utility>

#include "common/file_util.h"
#include "forms/folder_field.h"
#include "platform/local_path.h"

// Folder texts go into the current archive folder whole: a cut path would
// name another folder. The emphasis tags are cut by SetEmphasisTags.

namespace webhoard {
namespace {

inline constexpr int kPrefsHelpTopic = 12;

}  // namespace

TPrefsForm::TPrefsForm(Edition edition, Prompter& prompter, SettingsStore& store,
                       InMemorySettings& settings, std::function<std::string()> locate_cache_index)
    : browser_page_visible(edition == Edition::kNavigator),
      edition_(edition),
      prompter_(prompter),
      store_(store),
      settings_(settings),
      locate_cache_index_(std::move(locate_cache_index)) {
  caption = "Webhoard Properties";
  help_context = kPrefsHelpTopic;
}

void TPrefsForm::FormShow() {
  // The dialog is shown again and again; each showing starts undecided.
  SetModalResult(kModalNone);
  if (edition_ == Edition::kNavigator &&
      !FileExists(LocalFileSystemPath(settings_.cache_index_path))) {
    ExportPageControl = kBrowserPage;
  }
  NotifyChanged();
}

void TPrefsForm::ShowFields(const PropertiesFields& fields) {
  FATEdit.text = fields.fat_path;
  DefaultDirectoryEB.text = fields.default_directory;
  ExportDirNameEB.text = fields.secondary_folder;
  UseDefaultRB.checked = !fields.use_secondary_folder;
  ChooseDirectoryRB.checked = fields.use_secondary_folder;
  CheckBox1.checked = fields.show_original_urls;
  CheckBox2.checked = fields.emphasize_links;
  CheckBox3.checked = fields.strikeout_links;
  DetailedIndexCB.checked = fields.detailed_index;
  BoldRB.checked = fields.emphasis == Emphasis::kBold;
  ItalicizedRB.checked = fields.emphasis == Emphasis::kItalic;
  LargerTextRB.checked = fields.emphasis == Emphasis::kLarger;
  CustomRB.checked = fields.emphasis == Emphasis::kCustom;
  EmphasizedEB.text = fields.emphasize_tag;
  DeEmphasizedEB.text = fields.de_emphasize_tag;
}

void TPrefsForm::FillInText() {
  ShowFields(LoadSettings(store_, edition_, settings_, locate_cache_index_));
  // The enabled states, the sample, the in-memory tags and folder follow
  // the loaded values.
  EmphasizedEBChange();
  ChooseDirectoryRBClick();
  CheckBox2Click();
  ApplyBtn.enabled = false;
  NotifyChanged();
}

Emphasis TPrefsForm::ChosenEmphasis() const {
  if (CustomRB.checked) return Emphasis::kCustom;
  if (LargerTextRB.checked) return Emphasis::kLarger;
  if (ItalicizedRB.checked) return Emphasis::kItalic;
  return Emphasis::kBold;
}

const EditBox& TPrefsForm::ChosenFolderField() const {
  return ChooseDirectoryRB.checked ? ExportDirNameEB : DefaultDirectoryEB;
}

PropertiesFields TPrefsForm::Fields() const {
  PropertiesFields fields;
  fields.fat_path = FATEdit.text;
  fields.default_directory = DefaultDirectoryEB.text;
  fields.show_original_urls = CheckBox1.checked;
  fields.emphasize_links = CheckBox2.checked;
  fields.strikeout_links = CheckBox3.checked;
  fields.detailed_index = DetailedIndexCB.checked;
  fields.emphasize_tag = EmphasizedEB.text;
  fields.de_emphasize_tag = DeEmphasizedEB.text;
  fields.emphasis = ChosenEmphasis();
  fields.use_secondary_folder = ChooseDirectoryRB.checked;
  fields.secondary_folder = ExportDirNameEB.text;
  return fields;
}

bool TPrefsForm::WriteSettingsToIni() {
  if (SaveSettings(store_, edition_, Fields(), settings_)) return true;
  prompter_.ShowMessage(kSettingsNotSaved, MessageKind::kError, kButtonOk);
  return false;
}

void TPrefsForm::OKBtnClick() {
  if (WriteSettingsToIni()) SetModalResult(kModalOk);
}

void TPrefsForm::ApplyBtnClick() {
  if (!WriteSettingsToIni()) return;
  ApplyBtn.enabled = false;
  NotifyChanged();
}

void TPrefsForm::EnableApply() {
  ApplyBtn.enabled = true;
  NotifyChanged();
}

void TPrefsForm::ChooseDirectoryRBClick() {
  const bool secondary = ChooseDirectoryRB.checked;
  ExportDirNameEB.enabled = BrowseButton.enabled = secondary;
  DefaultDirectoryEB.enabled = BrowseSpeedButton.enabled = !secondary;
  // The Internet Explorer edition keeps the current archive folder up to
  // date while the dialog is edited; the other sets it when saving.
  if (edition_ == Edition::kInternetExplorer) {
    settings_.current_archive_folder = ChosenFolderField().text;
  }
  EnableApply();
}

// Only the chosen folder's field can be edited (the other is disabled), so
// an edit changes the chosen folder.
void TPrefsForm::FolderFieldChange() {
  if (edition_ == Edition::kInternetExplorer) {
    settings_.current_archive_folder = ChosenFolderField().text;
    NotifyChanged();
  } else {
    EnableApply();
  }
}

bool TPrefsForm::BrowseInto(EditBox& field) {
  if (!BrowseFolder(prompter_, field)) return false;
  settings_.current_archive_folder = field.text;
  return true;
}

void TPrefsForm::BrowseSpeedButtonClick() {
  if (BrowseInto(DefaultDirectoryEB)) DefaultDirectoryEBChange();
}

void TPrefsForm::BrowseButtonClick() {
  if (BrowseInto(ExportDirNameEB)) ExportDirNameEBChange();
}

void TPrefsForm::BrowseFATBtnClick() {
  if (edition_ != Edition::kNavigator) return;
  const std::optional<std::string> chosen = prompter_.PickFile(FATEdit.text, kFatFileFilter);
  if (!chosen || chosen->empty()) return;
  FATEdit.text = *chosen;
  FATEditChange();
}

void TPrefsForm::CheckBox2Click() {
  const bool emphasize = CheckBox2.checked;
  BoldRB.enabled = ItalicizedRB.enabled = LargerTextRB.enabled = CustomRB.enabled = emphasize;
  CustomRBClick();
}

void TPrefsForm::CustomRBClick() {
  const bool custom = CustomRB.checked && CustomRB.enabled;
  EmphasizedEB.enabled = DeEmphasizedEB.enabled = custom;
  Panel2.greyed = !custom;
  if (custom) EmphasizedEBChange();
  // The tags follow the checked button also while emphasis is off.
  SetEmphasisTags(ChosenEmphasis(), EmphasizedEB.text, DeEmphasizedEB.text, settings_);
  EnableApply();
}

void TPrefsForm::EmphasizedEBChange() {
  Panel2.caption = "<" + EmphasizedEB.text + ">Link Here<" + DeEmphasizedEB.text + ">";
  SetEmphasisTags(ChosenEmphasis(), EmphasizedEB.text, DeEmphasizedEB.text, settings_);
  NotifyChanged();
}

void TPrefsForm::DetailedIndexCBClick() {
  settings_.detailed_index = DetailedIndexCB.checked;
  NotifyChanged();
}

}  // namespace webhoard
