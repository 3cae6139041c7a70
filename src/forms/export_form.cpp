#include "forms/export_form.h"

#include <cmath>
#include <exception>
#include <filesystem>
#include <system_error>

#include "archive/archive_layout.h"
#include "archive/archive_naming.h"
#include "archive/copy_archive_file.h"
#include "archive/link_rewriter.h"
#include "archive/link_targets.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "index/build_index.h"
#include "index/index_icons.h"
#include "platform/file_system.h"

namespace webhoard {
namespace {

constexpr char kFolderSeparator = '/';

// Puts every copy of the run on disk before the catalogue that names them is
// saved (the catalogue itself is written durably). The copies are not synced
// one by one: their rename already means a crashed run leaves either the old
// or the new file, and one sync of the file system at the end costs far less
// than thousands of separate flushes.
void SyncArchiveFolder(const std::string& folder) {
  SyncFileSystemOf(folder);
}

bool PathExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::path(path), ec);
}

bool CreateFolders(const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(folder), ec);
  return DirectoryExists(folder);
}

// The last component of a cached file's path, as the browser named it.
std::string CachedFileName(const std::string& local_file) {
  const auto separator = local_file.find_last_of("/\\");
  return separator == std::string::npos ? local_file : local_file.substr(separator + 1);
}

// The link settings of the run, read once when its pages are written.
LinkOptions LinkOptionsOf(const InMemorySettings& settings) {
  LinkOptions options;
  options.show_original_urls = settings.show_original_urls;
  options.emphasize_links = settings.emphasize_links;
  options.strikeout_links = settings.strikeout_links;
  options.emphasizing_tag = settings.emphasizing_tag;
  options.de_emphasizing_tag = settings.de_emphasizing_tag;
  return options;
}

}  // namespace

TExportForm::TExportForm(ArchiveRunEnvironment environment, std::vector<TCacheItem*>& selection)
    : env_(std::move(environment)), selection_(selection) {
  caption = "Archiving";
  help_context = 36;
  reindex_mode_ = selection_.empty();
}

void TExportForm::FormCreate() {
  running_ = false;
}

void TExportForm::Timer1Timer() {
  Timer1.enabled = false;
  StartArchiving();
}

void TExportForm::CancelButtonClick() {
  if (running_) {
    cancel_requested_ = true;
  } else {
    SetModalResult(kModalCancel);
  }
}

void TExportForm::SetProgress(int percent) {
  Gauge1.position = percent;
  Label6.caption = std::to_string(percent) + "%";
  NotifyChanged();
  env_.prompter->ProcessPendingMessages();
}

void TExportForm::SetPhase(const std::string& text) {
  Label4.caption = text;
  NotifyChanged();
}

void TExportForm::StepProgress(std::size_t index, std::size_t count) {
  const auto percent = static_cast<int>(
      std::lround(100.0 * static_cast<double>(index) / static_cast<double>(count)));
  if (percent > Gauge1.position) SetProgress(percent);
}

void TExportForm::StartArchiving() {
  std::string& folder = env_.settings->current_archive_folder;
  if (folder.empty() || folder.back() != kFolderSeparator) folder.push_back(kFolderSeparator);
  archive_folder_ = folder;
  if (!DirectoryExists(archive_folder_)) {
    const MessageResult answer = env_.prompter->ShowMessage(
        "Archive folder\r\n\r\n" + archive_folder_ + "\r\n\r\n" + "does not exist. Create?",
        MessageKind::kConfirmation, kButtonYes | kButtonNo | kButtonCancel);
    if (answer != MessageResult::kYes) {
      SetModalResult(kModalCancel);
      return;
    }
    if (!CreateFolders(archive_folder_)) {
      env_.prompter->ShowMessage("Could not create folder.\r\nCheck the archive folder settings.",
                                 MessageKind::kError, kButtonOk);
      return;  // idle until the user presses Cancel
    }
  }
  PerformArchiveRun();
}

void TExportForm::PerformArchiveRun() {
  running_ = true;
  cancel_requested_ = false;
  report_.started = true;
  TakenNames taken;
  ArchiveList list = LoadArchiveList(archive_folder_, taken);
  report_.load = list.load_report();
  try {
    CopyIndexImages(archive_folder_);
    if (!reindex_mode_) {
      NamingPhase(list, taken);
      taken.Clear();
      CopyPhase(list);
    }
    if (!cancel_requested_) {
      if (!reindex_mode_) SetProgress(100);
      if (env_.build_index) {
        env_.build_index(list, *this);
      } else {
        BuildArchiveIndex(list);
      }
    }
  } catch (const std::exception& e) {
    report_.error = e.what();
  }
  report_.catalogue_size = list.size();
  SyncArchiveFolder(archive_folder_);
  report_.save = SaveArchiveList(list);
  ReportCatalogueOutcome();

  running_ = false;
  report_.cancelled = cancel_requested_;
  if (cancel_requested_) {
    SetModalResult(kModalCancel);
    return;
  }
  if (env_.edition == Edition::kInternetExplorer && env_.save_settings) env_.save_settings();
  AskToOpenIndex();
}

void TExportForm::NamingPhase(const ArchiveList& list, TakenNames& taken) {
  SetPhase("Creating unique filenames...");
  SetProgress(0);
  const std::size_t count = selection_.size();
  for (std::size_t i = 0; i < count; ++i) {
    StepProgress(i, count);
    TCacheItem& item = *selection_[i];
    if (auto name = list.FindArchivedName(item.URL)) {
      item.ArchiveName = *name;
    } else {
      MakeUniqueName(item, taken);
    }
    ++report_.named;
  }
}

void TExportForm::CopyPhase(ArchiveList& list) {
  SetPhase("Archiving files...");
  SetProgress(0);
  const LinkTargets targets(selection_, &list);
  const LinkOptions options = LinkOptionsOf(*env_.settings);
  const std::size_t count = selection_.size();
  for (std::size_t i = 0; i < count; ++i) {
    StepProgress(i, count);
    try {
      CopyItem(*selection_[i], list, targets, options);
    } catch (const std::exception&) {
      ++report_.failed;  // one item's failure never ends the run
    }
    if (cancel_requested_) break;
  }
}

void TExportForm::CopyItem(TCacheItem& item, ArchiveList& list, const LinkTargets& targets,
                           const LinkOptions& options) {
  if (item.MimeIndex == 0) {
    ++report_.untyped;
    return;
  }
  if (item.MimeIndex == kMimeIndexHtml) {
    if (RewritePage(item, archive_folder_, targets, options)) {
      ++report_.copied;
    } else {
      ++report_.failed;
    }
  } else {
    const auto target = ArchivePathOf(archive_folder_, item);
    if (target && CopyArchiveFile(item.LocalFile, *target)) {
      ++report_.copied;
    } else {
      ++report_.failed;
    }
  }
  // Recorded even without a copy: the next load drops it unless an earlier
  // copy under the same name is still there.
  list.RecordArchivedItem(item);
}

std::string TExportForm::FirstChoiceName(const TCacheItem& item) const {
  if (env_.edition == Edition::kNavigator) return NameFromURL(item.URL, item.MimeIndex);
  std::string name = CachedFileName(item.LocalFile);
  return name.empty() ? "page.htm" : name;
}

void TExportForm::MakeUniqueName(TCacheItem& item, TakenNames& taken) {
  const std::string type_folder = TypeFolderOf(item);
  const auto folder = ArchiveTypeFolderPath(archive_folder_, item.Domain, type_folder);
  if (!folder) {
    item.ArchiveName.clear();  // no safe place in the archive: never copied
    return;
  }
  CreateFolders(*folder);
  std::string name = FirstChoiceName(item);
  if (!IsPlainName(name)) name = "page.htm";
  for (;;) {
    const std::string key = TakenNameKey(item.Domain, type_folder, name);
    if (!taken.Contains(key) && !PathExists(JoinPath(*folder, name))) {
      taken.Add(key);
      break;
    }
    name = NextNumberedName(name);
  }
  item.ArchiveName = name;
}

void TExportForm::BuildArchiveIndex(const ArchiveList& list) {
  IndexProgress progress;
  progress.set_phase = [this](const std::string& text) { SetPhase(text); };
  progress.set_progress = [this](int percent) { SetProgress(percent); };
  BuildIndex(list, env_.settings->detailed_index, progress);
}

void TExportForm::ReportCatalogueOutcome() {
  Prompter& prompter = *env_.prompter;
  const std::string catalogue = ArchiveRootFile(archive_folder_, kArchiveInfoFileName);
  if (!report_.save.kept_aside.empty()) {
    prompter.ShowMessage("The archive catalogue\r\n\r\n" + catalogue + "\r\n\r\nwas damaged (" +
                             report_.load.damage + ").\r\nThe damaged file was kept as\r\n\r\n" +
                             report_.save.kept_aside,
                         MessageKind::kWarning, kButtonOk);
  }
  if (!report_.save.ok) {
    prompter.ShowMessage("Could not save the archive catalogue.\r\n" + report_.save.error +
                             "\r\n\r\nThe previous catalogue was kept unchanged.",
                         MessageKind::kError, kButtonOk);
  }
}

void TExportForm::AskToOpenIndex() {
  const std::string index_page = archive_folder_ + kIndexEntryPage;
  if (!FileExists(index_page)) {
    SetModalResult(kModalCancel);
    return;
  }
  const std::string what = reindex_mode_ ? "Re-indexing" : "Archiving";
  const MessageResult answer = env_.prompter->ShowMessage(
      what + " completed." + "\r\n" + "The index page is located at:" + "\r\n\r\n" + index_page +
          "\r\n\r\n" + "Do you wish to load this index now?",
      MessageKind::kInformation, kButtonYes | kButtonNo | kButtonCancel);
  SetModalResult(answer == MessageResult::kYes ? kModalOk : kModalCancel);
}

}  // namespace webhoard
