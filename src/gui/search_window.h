// The search window over TSearchFrm: the two search texts, the archive
// folder with its Browse and location buttons, Find and Stop, the busy
// animation and the result list, whose hits open with the program the
// desktop associates with them. The main window makes one per showing,
// after the form's FormCreate, runs it with exec() and destroys it.
#pragma once

#include <QDialog>
#include <string_view>
#include <vector>

#include "forms/search_form.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace webhoard::gui {

class SearchWindow : public QDialog {
  Q_OBJECT

 public:
  SearchWindow(TSearchFrm& form, QWidget* parent);
  ~SearchWindow() override;

 protected:
  void showEvent(QShowEvent* event) override;
  // Closing during a search stops it first.
  void reject() override;
  // Enter on the result list opens the hit instead of pressing Find.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLineEdit* AddEdit(const char* name, std::string_view label_caption, QLabel** label);
  QPushButton* AddButton(const char* name, const Button& model, void (TSearchFrm::*handler)());
  void BuildResultView();
  void LayOut(QLabel* url_label, QLabel* html_label, QLabel* dir_label);
  void ConnectEdits();
  void ShowResultMenu(const QPoint& position);
  void OpenSelectedHit();
  void NoteFocus(QWidget* now);
  void Mirror();
  void MirrorResults();

  TSearchFrm& form_;
  QLineEdit* url_edit_;
  QLineEdit* html_edit_;
  QLineEdit* dir_edit_;
  QPushButton* browse_button_;
  QPushButton* default_button_;
  QPushButton* other_button_;
  QPushButton* find_button_;
  QPushButton* stop_button_;
  QProgressBar* find_anim_;
  QTreeWidget* result_view_;
  // The rows shown, so that a mirror rebuilds the list only when the hits changed.
  std::vector<SearchHit> shown_hits_;
};

}  // namespace webhoard::gui
