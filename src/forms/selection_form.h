// The Cache Explorer's behaviour: loading the cache, the age filter, the two
// domain lists and their move buttons, the counters, and the Archive and
// Delete commands. The window only binds widgets to these members and
// handlers (see controls.h); the command line drives the same form to choose
// and delete items. The rules themselves (age window, domain table, chosen-
// item test, deletion) live in explorer/, below the forms.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cache/cache_item.h"
#include "common/edition.h"
#include "common/prompter.h"
#include "explorer/age_window.h"
#include "explorer/cache_deletion.h"
#include "explorer/domain_table.h"
#include "explorer/item_chooser.h"
#include "forms/archive_run.h"
#include "forms/controls.h"
#include "forms/form.h"

namespace webhoard {

inline constexpr std::string_view kNoFilesToArchive = "No files to archive.";

class TSelectionForm : public Form {
 public:
  // `items` is the application's cache item list; the form fills it through
  // the cache reader and deletes from it.
  TSelectionForm(Edition edition, Prompter& prompter, TCacheItemList& items);

  // Fills the cache item list; answers false when the cache could not be
  // read (the reader has told the user where that is its job).
  void set_cache_reader(std::function<bool(TCacheItemList&)> reader) {
    reader_ = std::move(reader);
  }
  // What the Archive command runs with.
  void set_archive_run(ArchiveRunEnvironment environment, ModalHost* host) {
    archive_env_ = std::move(environment), host_ = host;
  }
  // What the Delete command removes items from the cache with.
  void set_cache_remover(CacheRemover* remover) { remover_ = remover; }
  // Shows a help topic; answers whether the help system could.
  void set_help(std::function<bool(int)> show_help) { show_help_ = std::move(show_help); }
  // Shows the Properties dialog modally.
  void set_show_properties(std::function<void()> show_properties) {
    show_properties_ = std::move(show_properties);
  }

  ListBox SrcList;
  ListBox DstList;
  Button IncludeBtn{">"};
  Button IncAllBtn{">>"};
  Button ExcludeBtn{"<", false};
  Button ExAllBtn{"<<", false};
  Button UncacheButton{"&Archive"};
  Button DeleteButton{"&Delete"};
  Button PrefsBtn{"&Properties"};
  Button CancelButton{"&Close"};
  Button HelpButton{"&Help"};
  ComboBox OldNewBox;
  ComboBox AgeBox;
  ComboBox HDWBox;
  CheckBox TextBox{"HTML/PlainText/Rich Text"};
  CheckBox MediaBox{"Image/Sound/Video Files"};
  CheckBox OthersBox{"Other Files", false};
  NumberPanel NumTextPanel;
  NumberPanel NumMediaPanel;
  NumberPanel NumOtherPanel;
  Label FatPanel{"Processing cache index. Please wait.", false};
  bool BackPanelEnabled = true;
  // Set by the main window right before it shows the dialog.
  bool load_pending = false;

  void FormShow();
  // Loads the cache when a load is pending; answers whether it loaded.
  bool FormPaint();
  void OldNewBoxChange();
  void AgeBoxChange() { OldNewBoxChange(); }
  void HDWBoxChange();
  void IncludeBtnClick();
  void ExcludeBtnClick();
  void IncAllBtnClick();
  void ExcAllBtnClick();
  void TextBoxClick();
  void MediaBoxClick();
  void OthersBoxClick();
  // Answers the archive run's report, or nullptr when nothing ran.
  const ArchiveRunReport* UncacheButtonClick();
  // Answers how many items were removed from the cache item list.
  std::size_t DeleteButtonClick();
  // Nothing is read again after the Properties dialog closed.
  void PrefsBtnClick();
  void HelpButtonClick();
  void CancelButtonClick() { SetModalResult(kModalCancel); }

  void RebuildDomains();
  void UpdateCounts();
  static void MoveSelected(ListBox& list, ListBox& target);
  static int GetFirstSelection(const ListBox& list);
  void SetItem(ListBox& list, int index);
  void SetButtons();

  const AgeWindow& age_window() const { return window_; }
  void set_age_window(const AgeWindow& window) { window_ = window; }
  const std::vector<DomainEntry>& domains() const { return domains_; }
  CategoryCounts shown_counts() const;
  CategoryChecks checks() const;
  // The chosen-item test over the dialog's current state.
  ItemChooser Chooser() const;
  // Sets the filter boxes to `mode` and `unit` and applies the window of
  // `count` units (the command line takes any count; a count that the age
  // list does not offer leaves that list without a selection).
  void ApplyAgeFilter(AgeMode mode, int count, AgeUnit unit);

 private:
  void SetBusy(bool busy);
  void ApplyWindow(AgeMode mode, int count, AgeUnit unit);

  Edition edition_;
  Prompter& prompter_;
  TCacheItemList& items_;
  std::function<bool(TCacheItemList&)> reader_;
  ArchiveRunEnvironment archive_env_;
  ModalHost* host_ = nullptr;
  CacheRemover* remover_ = nullptr;
  std::function<bool(int)> show_help_;
  std::function<void()> show_properties_;
  AgeWindow window_;
  std::vector<DomainEntry> domains_;
  ArchiveRunReport last_report_;
};

}  // namespace webhoard
