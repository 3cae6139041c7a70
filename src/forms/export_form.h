// The archive run, in its progress window: gives every chosen cache item a
// unique name in the archive folder, copies it there (pages through the link
// rewriting), records it in the catalogue, regenerates the index pages,
// saves the catalogue and offers to open the index.
//
// The window shows the phase in Label4, the percentage in Gauge1 and Label6,
// and has one Cancel button; the run starts on the first tick of Timer1, once
// the window is up. Everything happens on the caller's thread: the prompter's
// ProcessPendingMessages, called at every progress step, is where Cancel is
// served.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "archive/archive_info_file.h"
#include "archive/taken_names.h"
#include "cache/cache_item.h"
#include "common/edition.h"
#include "common/prompter.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "settings/in_memory_settings.h"

namespace webhoard {

class TExportForm;

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
};

// What happened, for callers that report it (the command line).
struct ArchiveRunReport {
  bool started = false;         // the folder was there or created, the run ran
  bool cancelled = false;
  std::size_t named = 0;        // items that received an archive name
  std::size_t copied = 0;       // files copied or pages written
  std::size_t failed = 0;       // items whose copy could not be made
  std::size_t untyped = 0;      // items of no known type: named, not copied
  std::size_t catalogue_size = 0;
  ArchiveLoadReport load;
  ArchiveSaveResult save;
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
  void StartArchiving();
  void PerformArchiveRun();
  void NamingPhase(const ArchiveList& list, TakenNames& taken);
  void CopyPhase(ArchiveList& list);
  void CopyItem(TCacheItem& item, ArchiveList& list, const class LinkTargets& targets,
                const struct LinkOptions& options);
  void MakeUniqueName(TCacheItem& item, TakenNames& taken);
  std::string FirstChoiceName(const TCacheItem& item) const;
  void StepProgress(std::size_t index, std::size_t count);
  void BuildArchiveIndex(const ArchiveList& list);
  void ReportCatalogueOutcome();
  void AskToOpenIndex();

  ArchiveRunEnvironment env_;
  std::vector<TCacheItem*>& selection_;
  std::string archive_folder_;
  bool running_ = false;
  bool cancel_requested_ = false;
  bool reindex_mode_ = false;
  ArchiveRunReport report_;
};

}  // namespace webhoard
