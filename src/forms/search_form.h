// The search window's behaviour: its fields, the checks before a search, the
// result rows and opening a hit. The window itself only binds widgets to
// these members and handlers (see controls.h). The search itself is
// search/archive_search.h.
#pragma once

#include <string>
#include <vector>

#include "common/prompter.h"
#include "forms/controls.h"
#include "forms/folder_field.h"
#include "forms/form.h"
#include "search/archive_search.h"
#include "settings/settings_store.h"

namespace webhoard {

class TSearchFrm : public Form {
 public:
  TSearchFrm(Prompter& prompter, SettingsStore& store);

  EditBox URLEdit;
  EditBox HTMLEdit;
  FolderField folder{"Use Se&condary location"};  // the archive folder to search
  Button FindButton{"&Find"};
  Button StopButton{"&Stop", false};
  bool FindAnimActive = false;
  std::vector<SearchHit> ResultView;
  int ResultViewSelected = -1;  // the selected row, -1 for none

  void FormCreate();
  void FindButtonClick();
  void StopButtonClick();
  void BrowseButtonClick();
  void DefaultBtnClick();
  void OtherBtnClick();
  void ResultViewDblClick();
  void ResultViewColumnClick();

  // The search over the fields' texts; FindButtonClick runs it after the
  // checks. Answers what the search found and why it ended.
  const SearchResult& SearchArchive();

  bool stop_requested() const { return stop_; }
  const SearchResult& last_result() const { return last_; }

 private:
  void Focus(EditBox& edit);

  Prompter& prompter_;
  SettingsStore& store_;
  bool stop_ = false;
  SearchResult last_;
};

}  // namespace webhoard
