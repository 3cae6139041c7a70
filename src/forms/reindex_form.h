// Re-indexing an archive folder after archived copies were deleted from it
// by hand: the archive run with an empty selection, which drops from the
// catalogue every record whose copy is gone and writes the index pages
// again. Also the behaviour of the "Delete from Archive" dialog that starts
// it (the window binds its widgets to these members and handlers).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/prompter.h"
#include "forms/archive_run.h"
#include "forms/controls.h"
#include "forms/folder_field.h"
#include "forms/form.h"
#include "settings/settings_store.h"

namespace webhoard {

// Refusal when the folder field is empty: re-indexing the working folder
// would write index pages wherever the program happened to start.
inline constexpr std::string_view kEnterReindexFolder = "Enter the archive folder to re-index.";

// The check both commands make first: the message to show, or nullopt when
// `folder` holds a catalogue.
std::optional<std::string> CheckReindexFolder(std::string_view folder);

// Re-indexes `folder` through the archive run. The run writes to the
// current archive folder of `environment.settings`, so that folder is set to
// `folder` for the length of the run and restored afterwards, also when the
// run throws. Answers the run's modal result; the report is in `run`.
int ReindexArchive(const std::string& folder, ArchiveRun& run, InMemorySettings& settings,
                   ModalHost& host);

class TReindexForm : public Form {
 public:
  // `environment` is handed to each re-index run.
  TReindexForm(Prompter& prompter, SettingsStore& store, ArchiveRunEnvironment environment);

  FolderField folder{"Use &Secondary location"};  // the archive folder to re-index
  Button ExploreBtn{"&Explore"};
  Button ReindexBtn{"&Re-index"};
  Button Button3{"&Close"};

  void FormCreate();
  void BrowseButtonClick();
  void DefaultBtnClick();
  void OtherBtnClick();
  // Opens the folder in the file manager; answers whether it was asked to.
  bool ExploreBtnClick();
  // Runs the re-index; answers whether a run was started.
  bool ReindexBtnClick(ModalHost& host);

  // The run of the last re-index (null before one).
  const ArchiveRun* last_run() const { return run_.get(); }

 private:
  bool CheckFolder();

  Prompter& prompter_;
  SettingsStore& store_;
  ArchiveRunEnvironment environment_;
  std::unique_ptr<ArchiveRun> run_;
};

}  // namespace webhoard
