// The archiving progress window over TExportForm: the phase, the bar, the
// percentage and Cancel, modal over the window that started the run. The
// run starts on the first tick of its timer, once the window is up, and
// keeps the window alive through the prompter's pending messages.
#pragma once

#include <QDialog>

#include "forms/archive_run.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace webhoard::gui {

class ProgressWindow : public QDialog {
  Q_OBJECT

 public:
  ProgressWindow(TExportForm& form, QWidget* parent);
  ~ProgressWindow() override;

 protected:
  // Esc and the title bar's close are the Cancel button.
  void reject() override;

 private:
  void Mirror();

  TExportForm& form_;
  QLabel* label4_;
  QProgressBar* gauge1_;
  QLabel* label6_;
  QPushButton* cancel_button_;
};

// Runs archive runs in the progress window, modal over `parent`.
class QtModalHost final : public ModalHost {
 public:
  explicit QtModalHost(QWidget* parent) : parent_(parent) {}
  void ShowModal(TExportForm& form) override;

 private:
  QWidget* parent_;
};

}  // namespace webhoard::gui
