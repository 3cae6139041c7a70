// The archive run, in its progress window: takes the archive folder's lock
// (waiting, with a message, while another run or re-index holds it), gives
// every chosen cache item a unique name in the archive folder, copies it
// there (pages through the link rewriting), records it in the catalogue,
// saves the catalogue, regenerates the index pages and offers to open the
// index.
//
// What a run promises when things go wrong:
//  - An item whose copy fails is named with the reason; it is not recorded
//    unless its earlier copy (from an earlier run) is still in place, and no
//    page of the run links to the copy that was not made: every file is
//    copied before any page is written, and a page that fails is written
//    around (the pages written before it are written again).
//  - Cancel stops between items; the catalogue is still saved and the index
//    pages written for what was archived, and the same run again finishes
//    the rest under the same names.
//  - When the catalogue cannot be saved (a full disk), the run has failed:
//    the copies it added are removed again, so the catalogue on disk, the
//    earlier one, still names every copy and a later run makes them anew
//    without numbered duplicates.
//
// The window shows the phase in Label4, the percentage in Gauge1 and Label6,
// and has one Cancel button; the run starts on the first tick of Timer1, once
// the window is up. Everything happens on the caller's thread: the prompter's
// ProcessPendingMessages, called at every progress step, is where Cancel is
// served.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "archive/archive_info_file.h"
#include "archive/taken_names.h"
#include "cache/cache_item.h"
#include "cache/http/stored_response.h"
#include "common/edition.h"
#include "common/prompter.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "settings/in_memory_settings.h"

namespace webhoard {

class TExportForm;
class FolderLock;
class LinkTargets;
struct LinkOptions;

// One item that a run could not archive.
struct ArchiveItemFailure {
  std::string url;
  std::string reason;  // the path and the system's reason
};

// What a run needs from the rest of the program.
struct ArchiveRunEnvironment {
  Edition edition = Edition::kNavigator;
  Prompter* prompter = nullptr;
  InMemorySettings* settings = nullptr;  // current archive folder, link settings
  // Internet Explorer edition: stores the settings after a completed run.
  std::function<void()> save_settings;
  // Regenerates the index pages of the archive from its catalogue; when
  // empty, the run writes the index pages itself.
  std::function<void(const ArchiveList&, TExportForm&)> build_index;
  // Told of each item the run could not archive, as it happens (the command
  // line prints it). When empty, the window lists them in one box at the
  // end of the run.
  std::function<void(const ArchiveItemFailure&)> item_failed;
  // Redirects the cache holds (today's browsers): a link to a redirected
  // address leads to the copy of the page it pointed to.
  std::vector<StoredRedirect> redirects;
};

// The boxes of a run that went wrong (fixed texts; what follows them is the
// path and the reason, or the list of items).
inline constexpr char kArchiveFolderUnusable[] = "Could not write to the archive folder.\r\n";
inline constexpr char kArchiveFolderInUse[] =
    "Another archive run or re-index is using the archive folder\r\n\r\n";
inline constexpr char kArchiveFolderWait[] = "\r\n\r\nThis run waits until it is done.";
// The catalogue was saved, the index pages not all written: a re-index
// writes them again.
inline constexpr char kIndexNotWritten[] =
    "The archive catalogue was saved, but the index pages could not be written.\r\n";
inline constexpr char kItemsNotArchived[] = "These items could not be archived:\r\n\r\n";
inline constexpr std::size_t kItemsNotArchivedListed = 10;  // more are counted

// What happened, for callers that report it (the command line).
struct ArchiveRunReport {
  bool started = false;         // the folder was there or created, the run ran
  bool cancelled = false;
  bool waited = false;          // another run held the folder first
  std::size_t named = 0;        // items that received an archive name
  std::size_t copied = 0;       // files copied or pages written
  std::size_t undecoded = 0;    // of those, bodies kept in the encoding the cache stored
  std::size_t failed = 0;       // items whose copy could not be made
  std::size_t untyped = 0;      // items of no known type: named, not copied
  std::size_t remaining = 0;    // items a cancelled run did not reach
  std::size_t removed = 0;      // copies added, then removed: the catalogue was not saved
  std::size_t catalogue_size = 0;
  ArchiveLoadReport load;
  ArchiveSaveResult save;
  std::vector<ArchiveItemFailure> failures;
  std::string error;            // an error that ended the run early
};

class TExportForm : public Form {
 public:
  // `selection` borrows items of the cache item list; the run sets their
  // ArchiveName and, for pages, their Title. An empty selection re-indexes.
  TExportForm(ArchiveRunEnvironment environment, std::vector<TCacheItem*>& selection);

  Label Label4{"Progress"};
  ProgressBar Gauge1;
  Label Label6{"0%"};
  Button CancelButton{"Cancel"};
  Timer Timer1;

  void FormCreate();
  void Timer1Timer();
  void CancelButtonClick();

  // Shows P percent of the current phase and lets pending messages run.
  void SetProgress(int percent);
  // The phase text of Label4.
  void SetPhase(const std::string& text);

  bool reindex_mode() const { return reindex_mode_; }
  bool running() const { return running_; }
  const std::string& archive_folder() const { return archive_folder_; }
  const ArchiveRunReport& report() const { return report_; }

 private:
  enum class ItemOutcome : std::uint8_t { kPending, kCopied, kFailed, kUntyped };

  void StartArchiving();
  bool LockArchiveFolder(FolderLock& lock);
  void PerformArchiveRun();
  void NamingPhase(const ArchiveList& list, TakenNames& taken);
  void CopyPhase(ArchiveList& list);
  void ArchiveItem(std::size_t index, LinkTargets& targets, const LinkOptions& options);
  bool CopyItem(std::size_t index, const LinkTargets& targets, const LinkOptions& options,
                std::string& error);
  void WriteStalePagesAgain(LinkTargets& targets, const LinkOptions& options);
  void ItemFailed(std::size_t index, std::string reason, LinkTargets& targets);
  void RecordOutcomes(ArchiveList& list);
  void RemoveAddedCopies();
  void MakeUniqueName(TCacheItem& item, TakenNames& taken);
  std::string FirstChoiceName(const TCacheItem& item) const;
  void StepProgress(std::size_t index, std::size_t count);
  void BuildArchiveIndex(const ArchiveList& list);
  void ReportCatalogueOutcome();
  void ReportFailures();
  void AskToOpenIndex();
  std::string UndecodedWords() const;

  ArchiveRunEnvironment env_;
  std::vector<TCacheItem*>& selection_;
  std::string archive_folder_;
  bool running_ = false;
  bool cancel_requested_ = false;
  bool reindex_mode_ = false;
  ArchiveRunReport report_;

  // Per selection item, for the run under way.
  std::vector<ItemOutcome> outcomes_;
  std::vector<bool> added_;              // its copy is new: no file had its name before
  std::vector<bool> undecoded_;          // its copy holds the body as stored, still encoded
  std::vector<std::uint64_t> written_;   // when a page was last written (a tick)
  std::uint64_t tick_ = 0;
  std::uint64_t last_withdrawal_ = 0;    // when an item was last withdrawn from the links
  std::unordered_set<std::string> made_folders_;  // type folders the naming made or found
};

}  // namespace webhoard
