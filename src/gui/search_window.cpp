#include "gui/search_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/control_mirror.h"
#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/pictures.h"
#include "gui/screen_scale.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

// Sizes as written for a screen of 120 pixels per inch.
constexpr int kMinimumWidth = 580;
constexpr int kMinimumHeight = 250;
constexpr int kUrlColumnWidth = 330;
constexpr int kArchiveFileColumnWidth = 260;

bool SameHits(const std::vector<SearchHit>& a, const std::vector<SearchHit>& b) {
  return std::equal(
      a.begin(), a.end(), b.begin(), b.end(), [](const SearchHit& x, const SearchHit& y) {
        return x.address == y.address && x.archive_file == y.archive_file && x.icon == y.icon;
      });
}

}  // namespace

SearchWindow::SearchWindow(TSearchFrm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("TSearchFrm"));
  setWindowTitle(ToQt(form.caption));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);
  SetHelpContext(this, form.help_context);

  QLabel* url_label = nullptr;
  QLabel* html_label = nullptr;
  QLabel* dir_label = nullptr;
  url_edit_ = AddEdit("URLEdit", "Find in &URL", &url_label);
  html_edit_ = AddEdit("HTMLEdit", "Find in &Text", &html_label);
  dir_edit_ = AddEdit("DirEdit", "&Look in", &dir_label);
  browse_button_ =
      AddButton("BrowseButton", form.folder.BrowseButton, &TSearchFrm::BrowseButtonClick);
  default_button_ = AddButton("DefaultBtn", form.folder.DefaultBtn, &TSearchFrm::DefaultBtnClick);
  other_button_ = AddButton("OtherBtn", form.folder.OtherBtn, &TSearchFrm::OtherBtnClick);
  find_button_ = AddButton("FindButton", form.FindButton, &TSearchFrm::FindButtonClick);
  find_button_->setDefault(true);
  stop_button_ = AddButton("StopButton", form.StopButton, &TSearchFrm::StopButtonClick);

  find_anim_ = new QProgressBar(this);
  find_anim_->setObjectName(QStringLiteral("FindAnim"));
  find_anim_->setAccessibleName(QStringLiteral("Searching"));
  find_anim_->setRange(0, 0);
  find_anim_->setTextVisible(false);
  QSizePolicy keep_place = find_anim_->sizePolicy();
  keep_place.setRetainSizeWhenHidden(true);
  find_anim_->setSizePolicy(keep_place);

  BuildResultView();
  LayOut(url_label, html_label, dir_label);
  ConnectEdits();
  setMinimumSize(Scaled(this, kMinimumWidth), Scaled(this, kMinimumHeight));

  form_.set_on_changed([this] { Mirror(); });
  Mirror();
}

SearchWindow::~SearchWindow() {
  form_.set_on_changed({});
}

QLineEdit* SearchWindow::AddEdit(const char* name, std::string_view label_caption, QLabel** label) {
  auto* edit = new QLineEdit(this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setAccessibleName(PlainCaption(label_caption));
  *label = new QLabel(Caption(label_caption), this);
  (*label)->setBuddy(edit);
  return edit;
}

QPushButton* SearchWindow::AddButton(const char* name, const Button& model,
                                     void (TSearchFrm::*handler)()) {
  auto* button = new QPushButton(Caption(model.caption), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(PlainCaption(model.caption));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this,
          [this, handler] { Guarded([this, handler] { (form_.*handler)(); }); });
  return button;
}

void SearchWindow::BuildResultView() {
  result_view_ = new QTreeWidget(this);
  result_view_->setObjectName(QStringLiteral("ResultView"));
  result_view_->setAccessibleName(QStringLiteral("Results"));
  result_view_->setColumnCount(2);
  result_view_->setHeaderLabels({QStringLiteral("URL"), QStringLiteral("Archive File")});
  result_view_->setColumnWidth(0, Scaled(this, kUrlColumnWidth));
  result_view_->setColumnWidth(1, Scaled(this, kArchiveFileColumnWidth));
  result_view_->setRootIsDecorated(false);
  result_view_->setUniformRowHeights(true);
  result_view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  result_view_->setSelectionMode(QAbstractItemView::SingleSelection);
  result_view_->setContextMenuPolicy(Qt::CustomContextMenu);
  result_view_->header()->setSectionsClickable(true);
  result_view_->header()->setSortIndicatorShown(false);
  result_view_->installEventFilter(this);

  connect(result_view_->header(), &QHeaderView::sectionClicked, this,
          [this] { Guarded([this] { form_.ResultViewColumnClick(); }); });
  connect(result_view_, &QTreeWidget::itemSelectionChanged, this, [this] {
    const QList<QTreeWidgetItem*> chosen = result_view_->selectedItems();
    form_.ResultViewSelected =
        chosen.isEmpty() ? -1 : result_view_->indexOfTopLevelItem(chosen.first());
  });
  connect(result_view_, &QTreeWidget::itemDoubleClicked, this, [this] { OpenSelectedHit(); });
  connect(result_view_, &QTreeWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { ShowResultMenu(position); });
}

void SearchWindow::LayOut(QLabel* url_label, QLabel* html_label, QLabel* dir_label) {
  auto* fields = new QGridLayout;
  fields->addWidget(url_label, 0, 0);
  fields->addWidget(url_edit_, 0, 1, 1, 3);
  fields->addWidget(html_label, 1, 0);
  fields->addWidget(html_edit_, 1, 1, 1, 3);
  fields->addWidget(dir_label, 2, 0);
  fields->addWidget(dir_edit_, 2, 1, 1, 2);
  fields->addWidget(browse_button_, 2, 3);
  fields->addWidget(default_button_, 3, 1);
  fields->addWidget(other_button_, 3, 2, 1, 2, Qt::AlignLeft);
  fields->setColumnStretch(2, 1);

  auto* commands = new QVBoxLayout;
  commands->addWidget(find_button_);
  commands->addWidget(stop_button_);
  commands->addWidget(find_anim_);
  commands->addStretch(1);
  find_anim_->setFixedWidth(find_button_->sizeHint().width());

  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addSpacing(12);
  top->addLayout(commands);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(result_view_, 1);

  // Tab order in reading order.
  QWidget::setTabOrder(url_edit_, html_edit_);
  QWidget::setTabOrder(html_edit_, dir_edit_);
  QWidget::setTabOrder(dir_edit_, browse_button_);
  QWidget::setTabOrder(browse_button_, default_button_);
  QWidget::setTabOrder(default_button_, other_button_);
  QWidget::setTabOrder(other_button_, find_button_);
  QWidget::setTabOrder(find_button_, stop_button_);
  QWidget::setTabOrder(stop_button_, result_view_);
}

void SearchWindow::ConnectEdits() {
  connect(url_edit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.URLEdit.text = FromQt(text); });
  connect(html_edit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.HTMLEdit.text = FromQt(text); });
  connect(dir_edit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.folder.DirEdit.text = FromQt(text); });
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* now) { NoteFocus(now); });
}

// The form moves the focus by its edits' flags; the flags follow the user too,
// so a later mirror never pulls the focus back to where a message left it.
void SearchWindow::NoteFocus(QWidget* now) {
  if (now == nullptr || now->window() != this) return;
  form_.URLEdit.focused = now == url_edit_;
  form_.HTMLEdit.focused = now == html_edit_;
  form_.folder.DirEdit.focused = now == dir_edit_;
}

void SearchWindow::ShowResultMenu(const QPoint& position) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("PopupMenu1"));
  QAction* open = menu.addAction(QStringLiteral("Open"));
  menu.addAction(QStringLiteral("Cancel"));  // only closes the menu
  menu.setDefaultAction(open);
  if (menu.exec(result_view_->viewport()->mapToGlobal(position)) == open) OpenSelectedHit();
}

void SearchWindow::OpenSelectedHit() {
  Guarded([this] { form_.ResultViewDblClick(); });
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == result_view_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenSelectedHit();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void SearchWindow::showEvent(QShowEvent* event) {
  form_.SetModalResult(kModalNone);
  QDialog::showEvent(event);
}

void SearchWindow::reject() {
  if (form_.FindAnimActive) Guarded([this] { form_.StopButtonClick(); });
  QDialog::reject();
}

void SearchWindow::Mirror() {
  const QSignalBlocker block_url(url_edit_);
  const QSignalBlocker block_html(html_edit_);
  const QSignalBlocker block_dir(dir_edit_);
  MirrorEdit(url_edit_, form_.URLEdit);
  MirrorEdit(html_edit_, form_.HTMLEdit);
  MirrorEdit(dir_edit_, form_.folder.DirEdit);
  MirrorButton(browse_button_, form_.folder.BrowseButton);
  MirrorButton(default_button_, form_.folder.DefaultBtn);
  MirrorButton(other_button_, form_.folder.OtherBtn);
  MirrorButton(find_button_, form_.FindButton);
  MirrorButton(stop_button_, form_.StopButton);
  find_anim_->setVisible(form_.FindAnimActive);
  MirrorResults();
  if (form_.closed() && isVisible()) done(form_.modal_result());
}

void SearchWindow::MirrorResults() {
  const QSignalBlocker block(result_view_);
  if (!SameHits(shown_hits_, form_.ResultView)) {
    shown_hits_ = form_.ResultView;
    result_view_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(shown_hits_.size()));
    for (const SearchHit& hit : shown_hits_) {
      auto* row = new QTreeWidgetItem({ToQt(hit.address), ToQt(hit.archive_file)});
      row->setIcon(0, ResultIcon(hit.icon));
      rows.append(row);
    }
    result_view_->addTopLevelItems(rows);
  }
  const int selected = form_.ResultViewSelected;
  QTreeWidgetItem* row = selected >= 0 ? result_view_->topLevelItem(selected) : nullptr;
  if (row != nullptr) {
    result_view_->setCurrentItem(row);
  } else {
    result_view_->clearSelection();
  }
}

}  // namespace webhoard::gui
