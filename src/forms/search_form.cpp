#include "forms/search_form.h"

#include <algorithm>

#include "common/ascii.h"
#include "settings/setting_names.h"
#include "settings/settings_steps.h"
#include "shell/shell_open_page.h"

namespace webhoard {

TSearchFrm::TSearchFrm(Prompter& prompter, SettingsStore& store)
    : prompter_(prompter), store_(store) {
  caption = "Webhoard - Search Archive";
  help_context = 39;
}

void TSearchFrm::FormCreate() {
  // Folder texts are kept whole: a cut path would name another folder.
  folder.DirEdit.text = ReadSearchDirectory(store_);
  NotifyChanged();
}

void TSearchFrm::Focus(EditBox& edit) {
  URLEdit.focused = HTMLEdit.focused = folder.DirEdit.focused = false;
  edit.focused = true;
}

void TSearchFrm::FindButtonClick() {
  const std::optional<std::string> refusal =
      CheckSearchRequest(URLEdit.text, HTMLEdit.text, folder.DirEdit.text);
  if (refusal) {
    prompter_.ShowMessage(*refusal, MessageKind::kInformation, kButtonOk);
    Focus(*refusal == kEnterSearchText ? URLEdit : folder.DirEdit);
    NotifyChanged();
    return;
  }
  SearchArchive();
  store_.WriteSettingText(kSearchOptions, kSearchDirectory, folder.DirEdit.text);
}

const SearchResult& TSearchFrm::SearchArchive() {
  stop_ = false;
  ResultView.clear();
  ResultViewSelected = -1;
  StopButton.enabled = true;
  FindButton.enabled = false;
  folder.EnableLocations(false);
  FindAnimActive = true;
  NotifyChanged();

  last_ = webhoard::SearchArchive(folder.DirEdit.text, URLEdit.text, HTMLEdit.text, [&] {
    prompter_.ProcessPendingMessages();
    return !stop_;
  });
  ResultView = last_.hits;

  FindAnimActive = false;
  StopButton.enabled = false;
  FindButton.enabled = true;
  folder.EnableLocations(true);
  NotifyChanged();
  // A damaged catalogue is said: the hits come from the records that could
  // be read, and the user should not take a short list for the whole archive.
  if (!last_.error.empty()) {
    prompter_.ShowMessage(std::string(kDamagedCatalogueSearched) + last_.error,
                          MessageKind::kWarning, kButtonOk);
  }
  if (ResultView.empty()) {
    prompter_.ShowMessage(kNoFilesFound, MessageKind::kInformation, kButtonOk);
  }
  return last_;
}

void TSearchFrm::StopButtonClick() {
  stop_ = true;
  StopButton.enabled = false;
  NotifyChanged();
}

void TSearchFrm::BrowseButtonClick() {
  if (folder.Browse(prompter_)) NotifyChanged();
}

void TSearchFrm::DefaultBtnClick() {
  folder.UseDefault(store_);
  NotifyChanged();
}

void TSearchFrm::OtherBtnClick() {
  folder.UseSecondary(store_);
  NotifyChanged();
}

void TSearchFrm::ResultViewDblClick() {
  if (ResultViewSelected < 0 || static_cast<std::size_t>(ResultViewSelected) >= ResultView.size()) {
    return;
  }
  // The path is opened whole: a cut path would open another file or none.
  ShellOpenPage(ResultView[static_cast<std::size_t>(ResultViewSelected)].archive_file, prompter_);
}

void TSearchFrm::ResultViewColumnClick() {
  // Either column sorts by the address, byte order, case counting.
  std::stable_sort(ResultView.begin(), ResultView.end(),
                   [](const SearchHit& a, const SearchHit& b) { return a.address < b.address; });
  ResultViewSelected = -1;
  NotifyChanged();
}

}  // namespace webhoard
