// The "Delete from Archive" dialog over TReindexForm: the archive folder
// with its Browse and location buttons, Explore (the folder in the file
// manager, where the user deletes what is no longer wanted) and Re-index
// (the archive run in re-index mode, in the progress window). The main
// window makes one per showing, after the form's FormCreate, runs it with
// exec() and destroys it.
#pragma once

#include <QDialog>

#include "forms/reindex_form.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace webhoard::gui {

// The dialog's help topic.
inline constexpr int kReindexHelpContext = 44;

class ReindexWindow : public QDialog {
  Q_OBJECT

 public:
  ReindexWindow(TReindexForm& form, QWidget* parent);
  ~ReindexWindow() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QPushButton* AddButton(const char* name, const Button& model);
  QWidget* BuildGeneralPage();
  QGroupBox* CommandGroup(const char* name, const char* title, const char* text,
                          QPushButton* button);
  void Mirror();

  TReindexForm& form_;
  QLineEdit* dir_edit_;
  QPushButton* browse_button_;
  QPushButton* default_button_;
  QPushButton* other_button_;
  QPushButton* explore_button_;
  QPushButton* reindex_button_;
  QPushButton* close_button_;
};

}  // namespace webhoard::gui
