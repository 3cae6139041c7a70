#include "forms/selection_form.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "common/clock.h"

namespace webhoard {
namespace {

inline constexpr std::string_view kFatPanelCaption = "Processing cache index. Please wait.";
inline constexpr int kExplorerHelpTopic = 5;

}  // namespace

TSelectionForm::TSelectionForm(Edition edition, Prompter& prompter, TCacheItemList& items)
    : edition_(edition), prompter_(prompter), items_(items) {
  caption = "Webhoard - Cache Explorer";
  OldNewBox.items = kOldNewBoxItems;
  HDWBox.items = kHDWBoxItems;
  AgeBox.items = AgeBoxItems(edition, AgeUnit::kHours);
  OldNewBox.item_index = HDWBox.item_index = AgeBox.item_index = 0;
}

void TSelectionForm::SetBusy(bool busy) {
  BackPanelEnabled = !busy;
  prompter_.SetBusyCursor(busy);
  NotifyChanged();
}

void TSelectionForm::FormShow() {
  OldNewBox.enabled = MediaBox.enabled = OthersBox.enabled = true;
  MediaBox.checked = OthersBox.checked = true;
  NumMediaPanel.greyed = NumOtherPanel.greyed = false;
  OldNewBox.item_index = AgeBox.item_index = HDWBox.item_index = 0;
  HDWBoxChange();
  AgeBox.enabled = HDWBox.enabled = false;
  NumTextPanel.value = NumMediaPanel.value = NumOtherPanel.value = 0;
  IncludeBtn.enabled = IncAllBtn.enabled = ExcludeBtn.enabled = ExAllBtn.enabled = false;
  SrcList.Clear();
  DstList.Clear();
  TextBox.checked = true;
  NumTextPanel.greyed = false;
  NotifyChanged();
  prompter_.ProcessPendingMessages();
}

bool TSelectionForm::FormPaint() {
  if (!load_pending) return false;
  // Cleared before any message runs: the repaints while the notice comes up
  // and during the read must not start a second read.
  load_pending = false;
  FatPanel.visible = true;
  SetBusy(true);
  prompter_.ProcessPendingMessages();
  bool loaded = false;
  try {
    loaded = reader_ && reader_(items_);
    if (loaded) {
      window_ = AllAgesWindow(Now());
      RebuildDomains();
    } else if (edition_ == Edition::kNavigator) {
      SetModalResult(kModalCancel);
    } else {
      prompter_.ShowMessage("No files found.", MessageKind::kInformation, kButtonOk);
    }
  } catch (...) {
    FatPanel.visible = false;
    SetBusy(false);
    throw;
  }
  FatPanel.visible = false;
  SetBusy(false);
  return loaded;
}

void TSelectionForm::ApplyWindow(AgeMode mode, int count, AgeUnit unit) {
  window_ = AgeWindowFor(mode, count, unit, Now());
  AgeBox.enabled = HDWBox.enabled = mode != AgeMode::kAllAges;
  RebuildDomains();
}

void TSelectionForm::OldNewBoxChange() {
  const std::string text = AgeBox.Text();
  int count = 0;
  std::from_chars(text.data(), text.data() + text.size(), count);
  ApplyWindow(static_cast<AgeMode>(std::max(OldNewBox.item_index, 0)), count,
              static_cast<AgeUnit>(std::max(HDWBox.item_index, 0)));
}

void TSelectionForm::HDWBoxChange() {
  AgeBox.items = AgeBoxItems(edition_, static_cast<AgeUnit>(std::max(HDWBox.item_index, 0)));
  AgeBox.item_index = 0;
  OldNewBoxChange();
}

void TSelectionForm::ApplyAgeFilter(AgeMode mode, int count, AgeUnit unit) {
  OldNewBox.item_index = static_cast<int>(mode);
  HDWBox.item_index = static_cast<int>(unit);
  AgeBox.items = AgeBoxItems(edition_, unit);
  AgeBox.item_index = -1;
  for (std::size_t i = 0; i < AgeBox.items.size(); ++i) {
    if (AgeBox.items[i] == std::to_string(count)) AgeBox.item_index = static_cast<int>(i);
  }
  ApplyWindow(mode, count, unit);
}

void TSelectionForm::RebuildDomains() {
  // Grouping a large cache takes a while: the dialog stays busy and
  // repaints meanwhile.
  SetBusy(true);
  struct CountsOnExit {
    TSelectionForm& form;
    ~CountsOnExit() {
      form.UpdateCounts();
      form.SetBusy(false);
    }
  } counts_on_exit{*this};
  domains_.clear();
  DomainTable table =
      RebuildDomainTable(items_, window_, [this] { prompter_.ProcessPendingMessages(); });
  domains_ = std::move(table.entries);
  SrcList.Clear();
  DstList.items = std::move(table.sorted_names);
  DstList.selected.assign(DstList.items.size(), false);
  SetButtons();
}

void TSelectionForm::UpdateCounts() {
  SetBusy(true);
  const CategoryCounts sums =
      SumCounts(domains_, DstList.items, [this] { prompter_.ProcessPendingMessages(); });
  prompter_.ProcessPendingMessages();
  NumTextPanel.value = sums.text;
  NumMediaPanel.value = sums.media;
  NumOtherPanel.value = sums.other;
  NotifyChanged();
  prompter_.ProcessPendingMessages();
  SetBusy(false);
}

void TSelectionForm::MoveSelected(ListBox& list, ListBox& target) {
  for (std::size_t i = list.items.size(); i-- > 0;) {
    if (!list.selected[i]) continue;
    target.AddSorted(list.items[i]);
    list.Delete(i);
  }
}

int TSelectionForm::GetFirstSelection(const ListBox& list) {
  for (std::size_t i = 0; i < list.selected.size(); ++i) {
    if (list.selected[i]) return static_cast<int>(i);
  }
  return -1;
}

void TSelectionForm::SetItem(ListBox& list, int index) {
  SrcList.focused = DstList.focused = false;
  list.focused = true;
  const int count = static_cast<int>(list.items.size());
  if (index < 0) index = 0;
  if (index >= count) index = count - 1;
  if (count == 0) {
    list.selected.clear();
  } else {
    list.SelectOnly(static_cast<std::size_t>(index));
  }
  SetButtons();
}

void TSelectionForm::SetButtons() {
  IncludeBtn.enabled = IncAllBtn.enabled = !SrcList.items.empty();
  ExcludeBtn.enabled = ExAllBtn.enabled = !DstList.items.empty();
  NotifyChanged();
}

void TSelectionForm::IncludeBtnClick() {
  const int first = GetFirstSelection(SrcList);
  MoveSelected(SrcList, DstList);
  SetItem(SrcList, first);
  UpdateCounts();
}

void TSelectionForm::ExcludeBtnClick() {
  const int first = GetFirstSelection(DstList);
  MoveSelected(DstList, SrcList);
  SetItem(DstList, first);
  UpdateCounts();
}

void TSelectionForm::IncAllBtnClick() {
  for (const std::string& name : SrcList.items) DstList.AddSorted(name);
  SrcList.Clear();
  SetItem(SrcList, 0);
  UpdateCounts();
}

void TSelectionForm::ExcAllBtnClick() {
  for (const std::string& name : DstList.items) SrcList.AddSorted(name);
  DstList.Clear();
  SetItem(DstList, 0);
  UpdateCounts();
}

void TSelectionForm::TextBoxClick() {
  NumTextPanel.greyed = !TextBox.checked;
  NotifyChanged();
}

void TSelectionForm::MediaBoxClick() {
  NumMediaPanel.greyed = !MediaBox.checked;
  NotifyChanged();
}

void TSelectionForm::OthersBoxClick() {
  NumOtherPanel.greyed = !OthersBox.checked;
  NotifyChanged();
}

CategoryCounts TSelectionForm::shown_counts() const {
  return {NumTextPanel.value, NumMediaPanel.value, NumOtherPanel.value};
}

CategoryChecks TSelectionForm::checks() const {
  return {TextBox.checked, MediaBox.checked, OthersBox.checked};
}

ItemChooser TSelectionForm::Chooser() const {
  return ItemChooser(window_, DstList.items, checks());
}

const ArchiveRunReport* TSelectionForm::UncacheButtonClick() {
  SetBusy(true);
  prompter_.ProcessPendingMessages();
  const ArchiveRunReport* report = nullptr;
  if (SelectedCount(shown_counts(), checks()) == 0) {
    prompter_.ShowMessage(kNoFilesToArchive, MessageKind::kInformation, kButtonOk | kButtonHelp,
                          kNoFilesHelpContext);
  } else if (host_ != nullptr) {
    // Any error of the run ends the command without a word; the dialog
    // stays as it was.
    ArchiveRun run(archive_env_);
    try {
      run.PrepareArchiveRun();
      const ItemChooser chooser = Chooser();
      for (const auto& item : items_) {
        if (item && chooser.Chosen(*item)) run.selection().push_back(item.get());
      }
      run.RunArchive(*host_);
    } catch (...) {
    }
    try {
      run.FinishArchiveRun();
    } catch (...) {
    }
    last_report_ = run.report();
    report = &last_report_;
  }
  SetBusy(false);
  return report;
}

std::size_t TSelectionForm::DeleteButtonClick() {
  const DeleteConfirmation confirmation = ChooseDeleteConfirmation(
      shown_counts(), checks(), OldNewBox.item_index == static_cast<int>(AgeMode::kAllAges),
      SrcList.items.empty());
  if (confirmation == DeleteConfirmation::kNothingToDelete) {
    prompter_.ShowMessage(kNoFilesToDelete, MessageKind::kInformation, kButtonOk | kButtonHelp,
                          kNoFilesHelpContext);
    return 0;
  }
  if (prompter_.ShowMessage(DeleteConfirmationText(confirmation), MessageKind::kConfirmation,
                            kButtonYes | kButtonNo | kButtonCancel) != MessageResult::kYes) {
    return 0;
  }
  FatPanel.caption = kDeletingNotice;
  FatPanel.visible = true;
  SetBusy(true);
  prompter_.ProcessPendingMessages();
  auto restore = [this] {
    FatPanel.visible = false;
    SetBusy(false);
    FatPanel.caption = kFatPanelCaption;
    NotifyChanged();
    prompter_.ProcessPendingMessages();
  };
  std::size_t removed = 0;
  try {
    if (remover_ == nullptr)
      throw std::logic_error("the Cache Explorer has no cache to delete from");
    removed = DeleteChosenItems(items_, Chooser(), *remover_);
  } catch (...) {
    restore();
    throw;
  }
  restore();
  RebuildDomains();
  return removed;
}

void TSelectionForm::PrefsBtnClick() {
  if (show_properties_) show_properties_();
}

void TSelectionForm::HelpButtonClick() {
  if (!show_help_ || !show_help_(kExplorerHelpTopic)) {
    prompter_.ShowMessage("Help file not found", MessageKind::kError, kButtonOk);
  }
}

}  // namespace webhoard
