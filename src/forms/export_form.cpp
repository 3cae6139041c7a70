#include "forms/export_form.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <filesystem>
#include <optional>
#include <system_error>
#include <thread>

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
#include "platform/folder_lock.h"

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

// The folder of `path`, made when missing; or why it cannot be.
std::optional<std::string> MakeFolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (DirectoryExists(folder.string())) return std::nullopt;
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (DirectoryExists(folder.string())) return std::nullopt;
  return "cannot create " + folder.string() + ": " +
         (ec ? ec.message() : std::string("a file is in the way"));
}

// Why a cached file cannot be read, before anything is written for it;
// nullopt when it is a regular file. A link is never followed (the copy
// would refuse it too; see platform/regular_file.h).
std::optional<std::string> SourceProblem(const std::string& local_file) {
  std::error_code ec;
  const auto status = std::filesystem::symlink_status(local_file, ec);
  if (ec) return "cannot read " + local_file + ": " + ec.message();
  if (!std::filesystem::is_regular_file(status)) {
    return "cannot read " + local_file + ": not a regular file";
  }
  return std::nullopt;
}

bool IsPage(const TCacheItem& item) {
  return item.MimeIndex == kMimeIndexHtml;
}

// How often a run waiting for another one tries the folder's lock again.
constexpr auto kLockPollInterval = std::chrono::milliseconds(100);

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

bool TExportForm::LockArchiveFolder(FolderLock& lock) {
  const std::string path = ArchiveRootFile(archive_folder_, kArchiveLockFileName);
  for (;;) {
    std::string error;
    switch (lock.TryLock(path, &error)) {
      case FolderLockOutcome::kLocked:
        return true;
      case FolderLockOutcome::kFailed:
        env_.prompter->ShowMessage(kArchiveFolderUnusable + error, MessageKind::kError, kButtonOk);
        return false;
      case FolderLockOutcome::kBusy:
        break;
    }
    if (!report_.waited) {
      // Said once; then the window waits with its Cancel button.
      report_.waited = true;
      env_.prompter->ShowMessage(kArchiveFolderInUse + archive_folder_ + kArchiveFolderWait,
                                 MessageKind::kInformation, kButtonOk);
      SetPhase("Waiting for the archive folder...");
    }
    env_.prompter->ProcessPendingMessages();
    if (cancel_requested_) return false;
    std::this_thread::sleep_for(kLockPollInterval);
  }
}

void TExportForm::PerformArchiveRun() {
  running_ = true;
  cancel_requested_ = false;
  FolderLock lock;
  if (!LockArchiveFolder(lock)) {
    running_ = false;
    if (cancel_requested_) {
      report_.cancelled = true;
      report_.remaining = selection_.size();
      SetModalResult(kModalCancel);
    }
    return;  // a folder that cannot be used: idle until the user presses Cancel
  }
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
  } catch (const std::exception& e) {
    report_.error = e.what();
  }
  report_.catalogue_size = list.size();
  SyncArchiveFolder(archive_folder_);
  report_.save = SaveArchiveList(list);
  bool index_failed = false;
  if (!report_.save.ok) {
    RemoveAddedCopies();
  } else if (report_.error.empty()) {
    // Also after Cancel: the pages list what the catalogue now holds.
    try {
      if (!reindex_mode_ && !cancel_requested_) SetProgress(100);
      if (env_.build_index) {
        env_.build_index(list, *this);
      } else {
        BuildArchiveIndex(list);
      }
    } catch (const std::exception& e) {
      report_.error = e.what();
      index_failed = true;
    }
  }
  lock.Unlock();  // not held while the user reads the boxes
  ReportCatalogueOutcome();
  ReportFailures();
  if (index_failed) {
    env_.prompter->ShowMessage(kIndexNotWritten + report_.error, MessageKind::kError, kButtonOk);
  } else if (!report_.error.empty()) {
    env_.prompter->ShowMessage(
        std::string(reindex_mode_ ? "Re-indexing" : "Archiving") + " stopped.\r\n" + report_.error,
        MessageKind::kError, kButtonOk);
  }

  running_ = false;
  report_.cancelled = cancel_requested_;
  if (cancel_requested_ || !report_.save.ok || !report_.error.empty()) {
    SetModalResult(kModalCancel);
    return;
  }
  if (env_.edition == Edition::kInternetExplorer && env_.save_settings) env_.save_settings();
  AskToOpenIndex();
}

void TExportForm::NamingPhase(const ArchiveList& list, TakenNames& taken) {
  SetPhase("Creating unique filenames...");
  SetProgress(0);
  made_folders_.clear();
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
  const std::size_t count = selection_.size();
  outcomes_.assign(count, ItemOutcome::kPending);
  added_.assign(count, false);
  undecoded_.assign(count, false);
  written_.assign(count, 0);
  tick_ = 0;
  last_withdrawal_ = 0;
  LinkTargets targets(selection_, &list);
  for (const StoredRedirect& redirect : env_.redirects) {
    targets.AddRedirect(redirect.url, redirect.location);
  }
  LinkOptions options = LinkOptionsOf(*env_.settings);
  // Items of today's browser caches (they carry a stored body) come from
  // pages of today's web, whose links the old rules do not see. A run reads
  // one cache, so the choice holds for all its items.
  options.modern_pages = std::any_of(selection_.begin(), selection_.end(),
                                     [](const TCacheItem* item) { return item->Body.has_value(); });
  // Files before pages (and, from today's caches, style sheets, whose links
  // are rewritten like a page's): a file whose copy fails is withdrawn from the link
  // targets before any page could link to it.
  std::size_t step = 0;
  for (const bool pages : {false, true}) {
    for (std::size_t i = 0; i < count && !cancel_requested_; ++i) {
      if (IsRewrittenItem(*selection_[i], options) != pages) continue;
      StepProgress(step++, count);
      try {
        ArchiveItem(i, targets, options);
      } catch (const std::exception& e) {
        ItemFailed(i, e.what(), targets);  // one item's failure never ends the run
      }
    }
  }
  WriteStalePagesAgain(targets, options);
  RecordOutcomes(list);
}

void TExportForm::ArchiveItem(std::size_t index, LinkTargets& targets, const LinkOptions& options) {
  if (selection_[index]->MimeIndex == 0) {
    outcomes_[index] = ItemOutcome::kUntyped;
    return;
  }
  std::string error;
  if (CopyItem(index, targets, options, error)) {
    outcomes_[index] = ItemOutcome::kCopied;
  } else {
    ItemFailed(index, std::move(error), targets);
  }
}

bool TExportForm::CopyItem(std::size_t index, const LinkTargets& targets,
                           const LinkOptions& options, std::string& error) {
  TCacheItem& item = *selection_[index];
  const auto target = ArchivePathOf(archive_folder_, item);
  if (!target) {
    error = "no safe place in the archive for " + item.URL;
    return false;
  }
  if (auto problem = SourceProblem(item.Body ? item.Body->file : item.LocalFile)) {
    error = std::move(*problem);
    return false;
  }
  if (auto problem = MakeFolderOf(*target)) {
    error = std::move(*problem);
    return false;
  }
  const bool existed = PathExists(*target);
  bool ok = false;
  bool undecoded = false;
  if (IsPage(item)) {
    ok = RewritePage(item, archive_folder_, targets, options, &error, &undecoded);
    written_[index] = ++tick_;
  } else if (IsRewrittenItem(item, options)) {
    ok = RewriteStyleSheet(item, archive_folder_, targets, options, &error, &undecoded);
    written_[index] = ++tick_;
  } else if (item.Body) {
    BodyCopyResult copy = CopyArchiveBody(*item.Body, *target);
    ok = copy.outcome != BodyCopyOutcome::kFailed;
    undecoded = copy.outcome == BodyCopyOutcome::kStored;
    if (!ok) error = std::move(copy.reason);
  } else {
    ok = CopyArchiveFile(item.LocalFile, *target, &error);
  }
  if (ok) undecoded_[index] = undecoded;
  if (ok && !existed) added_[index] = true;
  return ok;
}

void TExportForm::ItemFailed(std::size_t index, std::string reason, LinkTargets& targets) {
  outcomes_[index] = ItemOutcome::kFailed;
  targets.Withdraw(*selection_[index]);
  last_withdrawal_ = ++tick_;
  ArchiveItemFailure failure{selection_[index]->URL, std::move(reason)};
  if (env_.item_failed) env_.item_failed(failure);
  report_.failures.push_back(std::move(failure));
}

// A page written before an item was withdrawn may link to that item's
// planned copy, which was never made: such pages are written again, now
// linking to the earlier copy or the not-found page. A page that fails to be
// written again is withdrawn in turn (its new copy removed), until a round
// withdraws nothing. Only runs in which something failed get here with work.
void TExportForm::WriteStalePagesAgain(LinkTargets& targets, const LinkOptions& options) {
  for (;;) {
    std::vector<std::size_t> stale;
    for (std::size_t i = 0; i < selection_.size(); ++i) {
      if (outcomes_[i] == ItemOutcome::kCopied && IsRewrittenItem(*selection_[i], options) &&
          written_[i] < last_withdrawal_) {
        stale.push_back(i);
      }
    }
    if (stale.empty()) return;
    for (const std::size_t i : stale) {
      std::string error;
      if (CopyItem(i, targets, options, error)) continue;
      // Its copy of the first round links to a withdrawn item. A copy this
      // run added goes; one that replaced an earlier copy stays, as the
      // earlier record names it.
      if (added_[i]) {
        if (const auto path = ArchivePathOf(archive_folder_, *selection_[i])) {
          RemoveFileOnly(*path);
        }
        added_[i] = false;
      }
      ItemFailed(i, std::move(error), targets);
    }
  }
}

// In selection order, so the catalogue lists new items in the order chosen.
void TExportForm::RecordOutcomes(ArchiveList& list) {
  for (std::size_t i = 0; i < selection_.size(); ++i) {
    const TCacheItem& item = *selection_[i];
    switch (outcomes_[i]) {
      case ItemOutcome::kCopied:
        list.RecordArchivedItem(item);
        ++report_.copied;
        if (undecoded_[i]) ++report_.undecoded;
        break;
      case ItemOutcome::kFailed: {
        // The earlier record stays only while its copy does.
        ++report_.failed;
        const TCacheItem* earlier = list.FindArchivedItem(item.URL);
        if (earlier == nullptr) break;
        const auto path = ArchivePathOf(archive_folder_, *earlier);
        if (!path || !FileExists(*path)) list.ForgetArchivedItem(item.URL);
        break;
      }
      case ItemOutcome::kUntyped:
        ++report_.untyped;
        break;
      case ItemOutcome::kPending:
        ++report_.remaining;
        break;
    }
  }
}

// The catalogue on disk is the one from before this run: the copies it does
// not name, the ones this run added, go, and so do folders left empty.
void TExportForm::RemoveAddedCopies() {
  for (std::size_t i = 0; i < added_.size(); ++i) {
    if (!added_[i]) continue;
    const auto path = ArchivePathOf(archive_folder_, *selection_[i]);
    if (!path || !RemoveFileOnly(*path)) continue;
    ++report_.removed;
    std::error_code ec;
    const std::filesystem::path type_folder = std::filesystem::path(*path).parent_path();
    if (std::filesystem::remove(type_folder, ec))
      std::filesystem::remove(type_folder.parent_path(), ec);
  }
}

std::string TExportForm::FirstChoiceName(const TCacheItem& item) const {
  if (env_.edition == Edition::kNavigator) {
    // Items of today's caches carry a stored body.
    if (item.Body) return NameFromStoredURL(item.URL, item.MimeIndex, MimeTypeName(item.MimeIndex));
    return NameFromURL(item.URL, item.MimeIndex);
  }
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
  // Most items share their folder with others: it is made (or found) once
  // per run, not once per item. The copy checks it again before writing.
  if (!made_folders_.contains(*folder)) {
    CreateFolders(*folder);
    made_folders_.insert(*folder);
  }
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

void TExportForm::ReportFailures() {
  if (report_.failures.empty() || env_.item_failed) return;
  std::string list;
  const std::size_t shown = std::min(report_.failures.size(), kItemsNotArchivedListed);
  for (std::size_t i = 0; i < shown; ++i) {
    list += report_.failures[i].url + "\r\n  " + report_.failures[i].reason + "\r\n";
  }
  if (report_.failures.size() > shown) {
    list += "and " + std::to_string(report_.failures.size() - shown) + " more\r\n";
  }
  env_.prompter->ShowMessage(kItemsNotArchived + list, MessageKind::kWarning, kButtonOk);
}

// A line for the completion question, when some items were archived in
// the encoding the cache stored them in.
std::string TExportForm::UndecodedWords() const {
  if (report_.undecoded == 0) return "";
  return std::to_string(report_.undecoded) +
         " of the items were archived undecoded, compressed as the cache stored them.\r\n";
}

void TExportForm::AskToOpenIndex() {
  const std::string index_page = archive_folder_ + kIndexEntryPage;
  if (!FileExists(index_page)) {
    SetModalResult(kModalCancel);
    return;
  }
  const std::string what = reindex_mode_ ? "Re-indexing" : "Archiving";
  const MessageResult answer =
      env_.prompter->ShowMessage(what + " completed." + "\r\n" + UndecodedWords() +
                                     "The index page is located at:" + "\r\n\r\n" + index_page +
                                     "\r\n\r\n" + "Do you wish to load this index now?",
                                 MessageKind::kInformation, kButtonYes | kButtonNo | kButtonCancel);
  SetModalResult(answer == MessageResult::kYes ? kModalOk : kModalCancel);
}

}  // namespace webhoard
