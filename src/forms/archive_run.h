// Starting an archive run: the Cache Explorer's Archive command and the
// re-index command call, always in this order,
//   PrepareArchiveRun()  - an empty selection, which the caller fills;
//   RunArchive(host)     - shows the progress window modally and runs;
//   FinishArchiveRun()   - closes the window and, when the user asked for it,
//                          opens the index page in the browser.
// FinishArchiveRun also follows a failure of the other two.
#pragma once

#include <memory>
#include <vector>

#include "forms/export_form.h"

namespace webhoard {

// Shows a form modally and returns when it has closed. The Qt host runs a
// dialog; the headless host (command line, tests) fires the timer and, if
// the form is still open afterwards, presses Cancel, as a user would.
class ModalHost {
 public:
  virtual ~ModalHost() = default;
  virtual void ShowModal(TExportForm& form) = 0;
};

class HeadlessModalHost final : public ModalHost {
 public:
  void ShowModal(TExportForm& form) override;
};

class ArchiveRun {
 public:
  explicit ArchiveRun(ArchiveRunEnvironment environment) : env_(std::move(environment)) {}

  void PrepareArchiveRun();
  // The archive selection list: borrowed items, in the order to archive.
  std::vector<TCacheItem*>& selection() { return selection_; }
  // Runs the window modally; answers its modal result.
  int RunArchive(ModalHost& host);
  void FinishArchiveRun();

  // The window of the last run (null before RunArchive and after Finish).
  const TExportForm* form() const { return form_.get(); }
  // The outcome of the last run; kept after FinishArchiveRun.
  const ArchiveRunReport& report() const { return report_; }

 private:
  ArchiveRunEnvironment env_;
  std::vector<TCacheItem*> selection_;
  std::unique_ptr<TExportForm> form_;
  ArchiveRunReport report_;
};

}  // namespace webhoard
