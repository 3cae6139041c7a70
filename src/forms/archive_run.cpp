#include "forms/archive_run.h"

#include "index/build_index.h"
#include "platform/short_path.h"
#include "shell/shell_open_page.h"

namespace webhoard {

void HeadlessModalHost::ShowModal(TExportForm& form) {
  form.FormCreate();
  if (form.Timer1.enabled) form.Timer1Timer();
  if (!form.closed()) form.CancelButtonClick();
}

void ArchiveRun::PrepareArchiveRun() {
  selection_.clear();
  form_.reset();
  report_ = {};
}

int ArchiveRun::RunArchive(ModalHost& host) {
  form_ = std::make_unique<TExportForm>(env_, selection_);
  form_->Timer1.enabled = true;
  host.ShowModal(*form_);
  report_ = form_->report();
  return form_->modal_result();
}

void ArchiveRun::FinishArchiveRun() {
  if (form_ && form_->modal_result() == kModalOk) {
    const std::string index_page = form_->archive_folder() + kIndexEntryPage;
    ShellOpenPage(ShortPathName(index_page), *env_.prompter);
  }
  form_.reset();
  selection_.clear();  // borrowed items: the cache item list still owns them
}

}  // namespace webhoard
