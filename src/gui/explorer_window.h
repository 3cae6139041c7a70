// The Cache Explorer window over TSelectionForm: the two domain lists and
// their move buttons, the age filter, the category boxes and counters, and
// the Archive, Delete, Properties, Close and Help buttons. The window wires
// the form to the edition's cache, the archive run in the progress window,
// a cache remover and the help pages; the form does the rest.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "common/edition.h"
#include "explorer/edition_cache.h"
#include "forms/selection_form.h"
#include "gui/progress_window.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QToolButton;

namespace webhoard::gui {

class ExplorerWindow : public QDialog {
  Q_OBJECT

 public:
  ExplorerWindow(TSelectionForm& form, Edition edition, SettingsStore& store,
                 InMemorySettings& settings, Prompter& prompter, QWidget* parent);
  ~ExplorerWindow() override;

  // What the main window's Cache Explorer command runs after it emptied the
  // cache item list and set form.load_pending: FormShow, show modally, the
  // first paint loads.
  int ShowModal();
  // Esc and the title bar's close are the Close button.
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  QLayout* BuildListRow();
  QLayout* BuildFilterRow();
  QLayout* BuildCommandColumn();
  void WireForm();
  void ConnectHandlers();
  void SetControlHelp(QWidget* widget, int context);

  void Mirror();
  void MirrorList(QListView* widget, const ListBox& model, std::vector<std::string>& shown);
  void MirrorCounter(QLineEdit* field, const NumberPanel& model);
  void CenterFatPanel();
  // The list the form gave the keyboard focus.
  void FocusModelList();
  static void ReadSelection(const QListView* widget, ListBox& model);

  bool ReadCache(TCacheItemList& items);
  CacheSource Source() const;
  void SaveSettingsAfterRun();

  TSelectionForm& form_;
  Edition edition_;
  SettingsStore& store_;
  InMemorySettings& settings_;
  Prompter& prompter_;
  QtModalHost host_;
  std::unique_ptr<EditionCacheRemover> remover_;
  bool load_scheduled_ = false;
  // What the list widgets hold, so a mirror refills them only on a change.
  std::vector<std::string> src_shown_;
  std::vector<std::string> dst_shown_;

  QWidget* back_panel_ = nullptr;
  QLabel* fat_panel_ = nullptr;
  QListView* src_list_ = nullptr;
  QListView* dst_list_ = nullptr;
  QToolButton* include_btn_ = nullptr;
  QToolButton* inc_all_btn_ = nullptr;
  QToolButton* exclude_btn_ = nullptr;
  QToolButton* ex_all_btn_ = nullptr;
  QPushButton* uncache_button_ = nullptr;
  QPushButton* delete_button_ = nullptr;
  QPushButton* prefs_btn_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
  QPushButton* help_button_ = nullptr;
  QComboBox* old_new_box_ = nullptr;
  QComboBox* age_box_ = nullptr;
  QComboBox* hdw_box_ = nullptr;
  QCheckBox* text_box_ = nullptr;
  QCheckBox* media_box_ = nullptr;
  QCheckBox* others_box_ = nullptr;
  QLineEdit* num_text_panel_ = nullptr;
  QLineEdit* num_media_panel_ = nullptr;
  QLineEdit* num_other_panel_ = nullptr;
};

}  // namespace webhoard::gui
