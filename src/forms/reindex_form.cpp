#include "forms/reindex_form.h"

#include "archive/archive_layout.h"
#include "common/file_util.h"
#include "platform/shell_open.h"
#include "search/archive_search.h"
#include "settings/setting_names.h"
#include "settings/settings_steps.h"

namespace webhoard {

std::optional<std::string> CheckReindexFolder(std::string_view folder) {
  if (folder.empty()) return std::string(kEnterReindexFolder);
  if (!FileExists(ArchiveRootFile(SearchFolderOf(folder), kArchiveInfoFileName))) {
    return std::string(kNoArchiveInfoFile);
  }
  return std::nullopt;
}

int ReindexArchive(const std::string& folder, ArchiveRun& run, InMemorySettings& settings,
                   ModalHost& host) {
  const std::string remembered = settings.current_archive_folder;
  settings.current_archive_folder = SearchFolderOf(folder);
  int result = kModalNone;
  try {
    run.PrepareArchiveRun();
    result = run.RunArchive(host);
  } catch (...) {
    run.FinishArchiveRun();
    settings.current_archive_folder = remembered;
    throw;
  }
  run.FinishArchiveRun();
  settings.current_archive_folder = remembered;
  return result;
}

TReindexForm::TReindexForm(Prompter& prompter, SettingsStore& store,
                           ArchiveRunEnvironment environment)
    : prompter_(prompter), store_(store), environment_(std::move(environment)) {
  caption = "Delete from Archive";
}

void TReindexForm::FormCreate() {
  folder.DirEdit.text = ReadReindexDirectory(store_);
  NotifyChanged();
}

void TReindexForm::BrowseButtonClick() {
  if (folder.Browse(prompter_)) NotifyChanged();
}

void TReindexForm::DefaultBtnClick() {
  folder.UseDefault(store_);
  NotifyChanged();
}

void TReindexForm::OtherBtnClick() {
  folder.UseSecondary(store_);
  NotifyChanged();
}

bool TReindexForm::CheckFolder() {
  if (const std::optional<std::string> refusal = CheckReindexFolder(folder.DirEdit.text)) {
    prompter_.ShowMessage(*refusal, MessageKind::kInformation, kButtonOk);
    folder.DirEdit.focused = true;
    NotifyChanged();
    return false;
  }
  return true;
}

bool TReindexForm::ExploreBtnClick() {
  if (!CheckFolder()) return false;
  ShellOpenOptions options;
  options.while_waiting = [this] { prompter_.ProcessPendingMessages(); };
  ShellOpen(SearchFolderOf(folder.DirEdit.text), options);  // the outcome is not checked
  store_.WriteSettingText(kGeneralOptions, kReindexDirectory, folder.DirEdit.text);
  return true;
}

bool TReindexForm::ReindexBtnClick(ModalHost& host) {
  if (!CheckFolder()) return false;
  run_ = std::make_unique<ArchiveRun>(environment_);
  try {
    ReindexArchive(folder.DirEdit.text, *run_, *environment_.settings, host);
  } catch (...) {
    store_.WriteSettingText(kGeneralOptions, kReindexDirectory, folder.DirEdit.text);
    throw;
  }
  store_.WriteSettingText(kGeneralOptions, kReindexDirectory, folder.DirEdit.text);
  return true;
}

}  // namespace webhoard
