// The Properties dialog's behaviour: the archive folders, the look of links
// in archived pages, the detailed index and (Navigator edition) the cache
// index path. The window binds widgets to these members and calls a handler
// after it changed a control's model (checks a box, types into a field,
// checks a radio button of a group and clears the others).
//
// The dialog lives from start-up to program end and is hidden between
// showings. Its load step runs when it is created and every time it closes,
// so whatever was not confirmed with OK or Apply is undone by the closing,
// including the in-memory settings that some controls change at once.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/edition.h"
#include "common/prompter.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "settings/in_memory_settings.h"
#include "settings/settings_steps.h"
#include "settings/settings_store.h"

namespace webhoard {

inline constexpr std::string_view kFatFileFilter = "Netscape FAT file (FAT, FAT.DB)|FAT;FAT.DB";
inline constexpr std::string_view kBrowseHint = "Browse directory";
inline constexpr std::string_view kSettingsNotSaved =
    "The settings could not be saved.\r\n\r\nThe stored settings may be incomplete.";

// The pages of ExportPageControl.
inline constexpr int kGeneralPage = 0;
inline constexpr int kBrowserPage = 1;  // Navigator edition only

class TPrefsForm : public Form {
 public:
  // `locate_cache_index` gives the cache index path when none is stored
  // (Navigator edition only).
  TPrefsForm(Edition edition, Prompter& prompter, SettingsStore& store, InMemorySettings& settings,
             std::function<std::string()> locate_cache_index);

  int ExportPageControl = kGeneralPage;  // the active page
  bool browser_page_visible;             // the "Browser" page exists (Navigator edition)

  // Page "General".
  Label DirectoryLocationGroupBox{"Archive folder locations"};
  RadioButton UseDefaultRB{"Use &default archive folder", true};
  EditBox DefaultDirectoryEB;
  Button BrowseSpeedButton{"Browse"};  // hint kBrowseHint
  RadioButton ChooseDirectoryRB{"Use se&condary folder"};
  EditBox ExportDirNameEB{"", false, false};
  Button BrowseButton{"Browse"};  // hint kBrowseHint
  CheckBox DetailedIndexCB{"Create de&tailed index pages for HTML and text files", false};
  CheckBox CheckBox1{"Use &original URLs for unvisited links", true};
  CheckBox CheckBox3{"&Strikeout unvisited links", false};
  CheckBox CheckBox2{"&Emphasize available links", true};
  RadioButton BoldRB{"&Bold face", true};
  RadioButton ItalicizedRB{"&Italicized"};
  RadioButton LargerTextRB{"&Larger text"};
  RadioButton CustomRB{"&Custom"};
  EditBox EmphasizedEB{"", false, false};    // labelled "Emphasi&zing tag"
  EditBox DeEmphasizedEB{"", false, false};  // labelled "De-emphasizin&g tag"
  SamplePanel Panel2;                        // the sample link, shown literally

  // Page "Browser".
  Label FATBox{"Netscape cache index path"};
  EditBox FATEdit;
  Button BrowseFATBtn{"Browse"};  // hint kBrowseHint; the file picker with kFatFileFilter

  Button OKBtn{"OK"};
  Button CancelBtn{"Cancel"};
  Button ApplyBtn{"Apply"};

  void FormCreate() { FillInText(); }
  // Every closing, whatever closed the dialog.
  void FormClose() { FillInText(); }
  // Every showing: opens on "Browser" when the cache index file is missing.
  void FormShow();
  // The load step into the controls and the in-memory settings.
  void FillInText();
  // The save step from the controls; tells the user and answers false when
  // the settings could not all be stored.
  bool WriteSettingsToIni();
  // Closes with the OK result once the settings are saved.
  void OKBtnClick();
  void CancelBtnClick() { SetModalResult(kModalCancel); }
  void ApplyBtnClick();

  // Either folder radio button.
  void ChooseDirectoryRBClick();
  void CheckBox1Click() { EnableApply(); }
  void CheckBox2Click();
  void CheckBox3Click() { EnableApply(); }
  // Any of the four emphasis radio buttons.
  void CustomRBClick();
  // A change of either tag field.
  void EmphasizedEBChange();
  void DetailedIndexCBClick();
  void BrowseSpeedButtonClick();
  void BrowseButtonClick();
  void BrowseFATBtnClick();
  void FATEditChange() { EnableApply(); }
  void DefaultDirectoryEBChange() { FolderFieldChange(); }
  void ExportDirNameEBChange() { FolderFieldChange(); }

 private:
  Emphasis ChosenEmphasis() const;
  const EditBox& ChosenFolderField() const;
  PropertiesFields Fields() const;
  void ShowFields(const PropertiesFields& fields);
  void FolderFieldChange();
  bool BrowseInto(EditBox& field);
  void EnableApply();

  Edition edition_;
  Prompter& prompter_;
  SettingsStore& store_;
  InMemorySettings& settings_;
  std::function<std::string()> locate_cache_index_;
};

}  // namespace webhoard
