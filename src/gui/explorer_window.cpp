#include "gui/explorer_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelection>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

#include "gui/guarded.h"
#include "gui/control_mirror.h"
#include "gui/help_system.h"
#include "gui/pictures.h"
#include "gui/text.h"
#include "settings/settings_steps.h"

namespace webhoard::gui {
namespace {

// Help contexts of the window and its controls.
constexpr int kExplorerHelpContext = 5;
constexpr int kSrcListHelpContext = 16;
constexpr int kDstListHelpContext = 43;
constexpr int kArchiveHelpContext = 40;
constexpr int kDeleteHelpContext = 41;
constexpr int kPropertiesHelpContext = 42;
constexpr int kCloseHelpContextIE = 15;
constexpr int kFileAgeHelpContext = 17;
constexpr int kTextBoxHelpContext = 21;
constexpr int kMediaBoxHelpContext = 22;
constexpr int kOthersBoxHelpContext = 23;
constexpr int kNumberOfFilesHelpContext = 24;

// An unchecked category's counter.
const QColor kGreyedCounter(128, 128, 128);

template <class Widget>
Widget* Named(Widget* widget, const char* name, const QString& accessible_name = {}) {
  widget->setObjectName(QString::fromLatin1(name));
  if (!accessible_name.isEmpty()) widget->setAccessibleName(accessible_name);
  return widget;
}

QPushButton* CommandButton(const Button& model, const char* name, QWidget* parent) {
  return Named(new QPushButton(Caption(model.caption), parent), name,
               PlainCaption(model.caption));
}

QToolButton* MoveButton(const Button& model, const char* name, const char* hint,
                        QWidget* parent) {
  auto* button = Named(new QToolButton(parent), name, PlainCaption(model.caption));
  button->setText(Caption(model.caption));
  button->setToolTip(QString::fromLatin1(hint));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::TabFocus);
  button->setMinimumSize(36, 26);
  QFont font = button->font();
  font.setBold(true);
  button->setFont(font);
  return button;
}

// A list of domain names over a string model: a cache of many domains
// fills it in one reset, with no object per row.
QListView* DomainList(const char* name, const char* caption, QWidget* parent) {
  auto* list = Named(new QListView(parent), name, QString::fromLatin1(caption));
  list->setModel(new QStringListModel(list));
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setUniformItemSizes(true);  // long lists lay out without measuring every row
  list->setLayoutMode(QListView::Batched);  // and in steps, repainting in between
  list->setMinimumSize(210, 220);
  return list;
}

QLineEdit* Counter(const char* name, const char* caption, QWidget* parent) {
  auto* field = Named(new QLineEdit(parent), name, QString::fromLatin1(caption));
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::NoFocus);
  field->setAlignment(Qt::AlignRight);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
  QFont font = field->font();
  font.setBold(true);
  field->setFont(font);
  return field;
}

}  // namespace

ExplorerWindow::ExplorerWindow(TSelectionForm& form, Edition edition, SettingsStore& store,
                               InMemorySettings& settings, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      form_(form),
      edition_(edition),
      store_(store),
      settings_(settings),
      prompter_(prompter),
      host_(this) {
  setObjectName(QStringLiteral("TSelectionForm"));
  setWindowTitle(ToQt(form.caption));
  setWindowIcon(EditionIcon(edition));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::WindowContextHelpButtonHint);
  setModal(true);
  SetHelpContext(this, kExplorerHelpContext);
  BuildControls();
  ConnectHandlers();
  WireForm();
  Mirror();
}

ExplorerWindow::~ExplorerWindow() {
  form_.set_on_changed({});
  form_.set_cache_reader({});
  form_.set_archive_run({}, nullptr);
  form_.set_cache_remover(nullptr);
  form_.set_help({});
}

void ExplorerWindow::BuildControls() {
  back_panel_ = Named(new QWidget(this), "BackPanel");
  auto* panel_layout = new QVBoxLayout(back_panel_);
  panel_layout->setContentsMargins(0, 0, 0, 0);
  auto* top = new QHBoxLayout;
  top->addLayout(BuildListRow(), 1);
  top->addSpacing(8);
  top->addLayout(BuildCommandColumn());
  panel_layout->addLayout(top);
  panel_layout->addSpacing(4);
  panel_layout->addLayout(BuildFilterRow());

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(back_panel_);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  // The notice floats over the middle of the window, outside BackPanel, so
  // it stays readable while the controls are disabled.
  fat_panel_ = Named(new QLabel(ToQt(form_.FatPanel.caption), this), "FatPanel");
  fat_panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  fat_panel_->setLineWidth(2);
  fat_panel_->setAlignment(Qt::AlignCenter);
  fat_panel_->setAutoFillBackground(true);
  fat_panel_->setMargin(16);
  QFont notice_font = fat_panel_->font();
  notice_font.setBold(true);
  fat_panel_->setFont(notice_font);
  fat_panel_->hide();
}

QLayout* ExplorerWindow::BuildListRow() {
  src_list_ = DomainList("SrcList", "Available Domains", back_panel_);
  SetControlHelp(src_list_, kSrcListHelpContext);
  include_btn_ = MoveButton(form_.IncludeBtn, "IncludeBtn", "Add selection", back_panel_);
  inc_all_btn_ = MoveButton(form_.IncAllBtn, "IncAllBtn", "Add all", back_panel_);
  exclude_btn_ = MoveButton(form_.ExcludeBtn, "ExcludeBtn", "Remove selection", back_panel_);
  ex_all_btn_ = MoveButton(form_.ExAllBtn, "ExAllBtn", "Remove all", back_panel_);
  dst_list_ = DomainList("DstList", "Archive/Delete", back_panel_);
  SetControlHelp(dst_list_, kDstListHelpContext);

  auto* src_label =
      Named(new QLabel(QStringLiteral("Available Domains"), back_panel_), "SrcLabel");
  src_label->setBuddy(src_list_);
  auto* dst_label = Named(new QLabel(QStringLiteral("Archive/Delete"), back_panel_), "DstLabel");
  dst_label->setBuddy(dst_list_);

  auto* src_column = new QVBoxLayout;
  src_column->addWidget(src_label);
  src_column->addWidget(src_list_, 1);
  auto* move_column = new QVBoxLayout;
  move_column->addStretch(1);
  move_column->addWidget(include_btn_);
  move_column->addWidget(inc_all_btn_);
  move_column->addSpacing(12);
  move_column->addWidget(exclude_btn_);
  move_column->addWidget(ex_all_btn_);
  move_column->addStretch(1);
  auto* dst_column = new QVBoxLayout;
  dst_column->addWidget(dst_label);
  dst_column->addWidget(dst_list_, 1);

  auto* row = new QHBoxLayout;
  row->addLayout(src_column, 1);
  row->addLayout(move_column);
  row->addLayout(dst_column, 1);
  return row;
}

QLayout* ExplorerWindow::BuildCommandColumn() {
  uncache_button_ = CommandButton(form_.UncacheButton, "UncacheButton", back_panel_);
  uncache_button_->setDefault(true);
  uncache_button_->setAutoDefault(true);
  SetControlHelp(uncache_button_, kArchiveHelpContext);
  delete_button_ = CommandButton(form_.DeleteButton, "DeleteButton", back_panel_);
  SetControlHelp(delete_button_, kDeleteHelpContext);
  prefs_btn_ = CommandButton(form_.PrefsBtn, "PrefsBtn", back_panel_);
  SetControlHelp(prefs_btn_, kPropertiesHelpContext);
  cancel_button_ = CommandButton(form_.CancelButton, "CancelButton", back_panel_);
  if (edition_ == Edition::kInternetExplorer) SetControlHelp(cancel_button_, kCloseHelpContextIE);
  help_button_ = CommandButton(form_.HelpButton, "HelpButton", back_panel_);

  auto* column = new QVBoxLayout;
  column->addSpacing(QLabel().sizeHint().height() + column->spacing());
  column->addWidget(uncache_button_);
  column->addWidget(delete_button_);
  column->addSpacing(12);
  column->addWidget(prefs_btn_);
  column->addStretch(1);
  column->addWidget(cancel_button_);
  column->addWidget(help_button_);
  return column;
}

QLayout* ExplorerWindow::BuildFilterRow() {
  auto* dates = Named(new QGroupBox(QStringLiteral("File Age"), back_panel_), "ChooseDates");
  SetControlHelp(dates, kFileAgeHelpContext);
  old_new_box_ = Named(new QComboBox(dates), "OldNewBox", QStringLiteral("File Age"));
  age_box_ = Named(new QComboBox(dates), "AgeBox", QStringLiteral("Age"));
  hdw_box_ = Named(new QComboBox(dates), "HDWBox", QStringLiteral("Unit"));
  for (QWidget* box : {static_cast<QWidget*>(old_new_box_), static_cast<QWidget*>(age_box_),
                       static_cast<QWidget*>(hdw_box_)}) {
    SetControlHelp(box, kFileAgeHelpContext);
  }
  auto* age_row = new QHBoxLayout;
  age_row->addWidget(age_box_);
  age_row->addWidget(hdw_box_, 1);
  auto* dates_layout = new QVBoxLayout(dates);
  dates_layout->addWidget(old_new_box_);
  dates_layout->addLayout(age_row);
  dates_layout->addStretch(1);

  auto* types = Named(new QGroupBox(QStringLiteral("File Types"), back_panel_), "FtypeBox");
  text_box_ = Named(new QCheckBox(Caption(form_.TextBox.caption), types), "TextBox",
                    PlainCaption(form_.TextBox.caption));
  media_box_ = Named(new QCheckBox(Caption(form_.MediaBox.caption), types), "MediaBox",
                     PlainCaption(form_.MediaBox.caption));
  others_box_ = Named(new QCheckBox(Caption(form_.OthersBox.caption), types), "OthersBox",
                      PlainCaption(form_.OthersBox.caption));
  SetControlHelp(text_box_, kTextBoxHelpContext);
  SetControlHelp(media_box_, kMediaBoxHelpContext);
  SetControlHelp(others_box_, kOthersBoxHelpContext);
  auto* types_layout = new QVBoxLayout(types);
  types_layout->addWidget(text_box_);
  types_layout->addWidget(media_box_);
  types_layout->addWidget(others_box_);

  auto* numbers =
      Named(new QGroupBox(QStringLiteral("Number of Files"), back_panel_), "NumFilesBox");
  SetControlHelp(numbers, kNumberOfFilesHelpContext);
  num_text_panel_ = Counter("NumTextPanel", "Text", numbers);
  num_media_panel_ = Counter("NumMediaPanel", "Media", numbers);
  num_other_panel_ = Counter("NumOtherPanel", "Other", numbers);
  auto* numbers_layout = new QFormLayout(numbers);
  numbers_layout->setLabelAlignment(Qt::AlignRight);
  numbers_layout->addRow(QStringLiteral("Text"), num_text_panel_);
  numbers_layout->addRow(QStringLiteral("Media"), num_media_panel_);
  numbers_layout->addRow(QStringLiteral("Other"), num_other_panel_);

  auto* row = new QHBoxLayout;
  row->addWidget(dates, 1);
  row->addWidget(types);
  row->addWidget(numbers);
  return row;
}

void ExplorerWindow::SetControlHelp(QWidget* widget, int context) {
  SetHelpContext(widget, context);
  widget->installEventFilter(this);  // the title bar's context help
}

void ExplorerWindow::ConnectHandlers() {
  auto on_move = [this](QAbstractButton* button, void (TSelectionForm::*handler)()) {
    connect(button, &QAbstractButton::clicked, this, [this, handler] {
      Guarded([this, handler] { (form_.*handler)(); });
      FocusModelList();
    });
  };
  on_move(include_btn_, &TSelectionForm::IncludeBtnClick);
  on_move(inc_all_btn_, &TSelectionForm::IncAllBtnClick);
  on_move(exclude_btn_, &TSelectionForm::ExcludeBtnClick);
  on_move(ex_all_btn_, &TSelectionForm::ExcAllBtnClick);
  auto on_command = [this](QAbstractButton* button, auto handler) {
    connect(button, &QAbstractButton::clicked, this,
            [this, handler] { Guarded([this, handler] { (form_.*handler)(); }); });
  };
  on_command(uncache_button_, &TSelectionForm::UncacheButtonClick);
  on_command(delete_button_, &TSelectionForm::DeleteButtonClick);
  on_command(prefs_btn_, &TSelectionForm::PrefsBtnClick);
  on_command(cancel_button_, &TSelectionForm::CancelButtonClick);
  on_command(help_button_, &TSelectionForm::HelpButtonClick);

  auto on_check = [this](QCheckBox* box, CheckBox TSelectionForm::*model,
                         void (TSelectionForm::*handler)()) {
    connect(box, &QCheckBox::clicked, this, [this, model, handler](bool checked) {
      Guarded([this, model, handler, checked] {
        (form_.*model).checked = checked;
        (form_.*handler)();
      });
    });
  };
  on_check(text_box_, &TSelectionForm::TextBox, &TSelectionForm::TextBoxClick);
  on_check(media_box_, &TSelectionForm::MediaBox, &TSelectionForm::MediaBoxClick);
  on_check(others_box_, &TSelectionForm::OthersBox, &TSelectionForm::OthersBoxClick);

  auto on_choice = [this](QComboBox* box, ComboBox TSelectionForm::*model,
                          void (TSelectionForm::*handler)()) {
    connect(box, &QComboBox::activated, this, [this, model, handler](int index) {
      Guarded([this, model, handler, index] {
        (form_.*model).item_index = index;
        (form_.*handler)();
      });
    });
  };
  on_choice(old_new_box_, &TSelectionForm::OldNewBox, &TSelectionForm::OldNewBoxChange);
  on_choice(age_box_, &TSelectionForm::AgeBox, &TSelectionForm::AgeBoxChange);
  on_choice(hdw_box_, &TSelectionForm::HDWBox, &TSelectionForm::HDWBoxChange);

  auto on_list = [this](QListView* list, ListBox TSelectionForm::*model,
                        void (TSelectionForm::*double_click)()) {
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, list, model] { ReadSelection(list, form_.*model); });
    connect(list, &QListView::doubleClicked, this, [this, list, model, double_click] {
      ReadSelection(list, form_.*model);
      Guarded([this, double_click] { (form_.*double_click)(); });
      FocusModelList();
    });
  };
  on_list(src_list_, &TSelectionForm::SrcList, &TSelectionForm::IncludeBtnClick);
  on_list(dst_list_, &TSelectionForm::DstList, &TSelectionForm::ExcludeBtnClick);
}

void ExplorerWindow::WireForm() {
  form_.set_on_changed([this] { Mirror(); });
  form_.set_cache_reader([this](TCacheItemList& items) { return ReadCache(items); });
  ArchiveRunEnvironment environment;
  environment.edition = edition_;
  environment.prompter = &prompter_;
  environment.settings = &settings_;
  if (edition_ == Edition::kInternetExplorer) {
    environment.save_settings = [this] { SaveSettingsAfterRun(); };
  }
  form_.set_archive_run(std::move(environment), &host_);
  form_.set_help([](int context) {
    HelpSystem* help = ApplicationHelp();
    return help != nullptr && help->ShowTopic(context);
  });
}

CacheSource ExplorerWindow::Source() const {
  return CacheSource{edition_,
                     edition_ == Edition::kNavigator ? settings_.cache_index_path : std::string()};
}

bool ExplorerWindow::ReadCache(TCacheItemList& items) {
  // The read lets the window repaint every few thousand entries and ends
  // early when the window was closed meanwhile.
  const ReadStopCheck stop = [this] {
    prompter_.ProcessPendingMessages();
    return form_.closed();
  };
  const CacheLoadReport report = LoadEditionCache(Source(), store_, prompter_, items, stop);
  if (!report.ok()) {
    prompter_.ShowMessage(report.error, MessageKind::kError, kButtonOk);
    return false;
  }
  // A window closed during the read is gone; nothing more to tell.
  if (report.stopped) return true;
  if (!report.warning.empty()) {
    prompter_.ShowMessage(report.warning, MessageKind::kWarning, kButtonOk);
  }
  return edition_ == Edition::kNavigator || !items.empty();
}

void ExplorerWindow::SaveSettingsAfterRun() {
  // The stored settings written back as they stand; the in-memory ones
  // this window runs with stay untouched.
  InMemorySettings stored;
  const PropertiesFields fields = LoadSettings(store_, edition_, stored, {});
  SaveSettings(store_, edition_, fields, stored);
}

int ExplorerWindow::ShowModal() {
  form_.SetModalResult(kModalNone);
  remover_ = std::make_unique<EditionCacheRemover>(Source(), store_);
  form_.set_cache_remover(remover_.get());
  Guarded([this] { form_.FormShow(); });
  Mirror();
  adjustSize();
  if (const QScreen* shown_on = screen()) {
    move(shown_on->availableGeometry().center() - rect().center());
  }
  const int result = exec();
  form_.set_cache_remover(nullptr);
  remover_.reset();
  return result;
}

void ExplorerWindow::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // The load starts right after the first paint, outside the paint itself,
  // so the window is up with its notice before the long read begins.
  if (!form_.load_pending || load_scheduled_) return;
  load_scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    Guarded([this] { form_.FormPaint(); });
    load_scheduled_ = false;
  });
}

void ExplorerWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  CenterFatPanel();
}

bool ExplorerWindow::event(QEvent* event) {
  if (event->type() == QEvent::EnterWhatsThisMode) {
    QWhatsThis::enterWhatsThisMode();
    return true;
  }
  return QDialog::event(event);
}

bool ExplorerWindow::eventFilter(QObject* watched, QEvent* event) {
  // In context-help mode a click on a control opens the control's topic.
  if (event->type() == QEvent::QueryWhatsThis) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::WhatsThis) {
    const int context = HelpContextOf(qobject_cast<QWidget*>(watched));
    if (HelpSystem* help = ApplicationHelp(); help != nullptr && context > 0) {
      help->ShowTopicOrComplain(context);
    }
    event->accept();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ExplorerWindow::reject() {
  Guarded([this] { form_.CancelButtonClick(); });
}

void ExplorerWindow::Mirror() {
  back_panel_->setEnabled(form_.BackPanelEnabled);
  fat_panel_->setText(ToQt(form_.FatPanel.caption));
  if (form_.FatPanel.visible) {
    CenterFatPanel();
    fat_panel_->raise();
  }
  fat_panel_->setVisible(form_.FatPanel.visible);

  MirrorList(src_list_, form_.SrcList, src_shown_);
  MirrorList(dst_list_, form_.DstList, dst_shown_);
  MirrorButton(include_btn_, form_.IncludeBtn);
  MirrorButton(inc_all_btn_, form_.IncAllBtn);
  MirrorButton(exclude_btn_, form_.ExcludeBtn);
  MirrorButton(ex_all_btn_, form_.ExAllBtn);
  MirrorButton(uncache_button_, form_.UncacheButton);
  MirrorButton(delete_button_, form_.DeleteButton);
  MirrorButton(prefs_btn_, form_.PrefsBtn);
  MirrorButton(cancel_button_, form_.CancelButton);
  MirrorButton(help_button_, form_.HelpButton);
  MirrorCombo(old_new_box_, form_.OldNewBox);
  MirrorCombo(age_box_, form_.AgeBox);
  MirrorCombo(hdw_box_, form_.HDWBox);
  MirrorCheck(text_box_, form_.TextBox);
  MirrorCheck(media_box_, form_.MediaBox);
  MirrorCheck(others_box_, form_.OthersBox);
  MirrorCounter(num_text_panel_, form_.NumTextPanel);
  MirrorCounter(num_media_panel_, form_.NumMediaPanel);
  MirrorCounter(num_other_panel_, form_.NumOtherPanel);
  if (form_.closed() && isVisible()) done(form_.modal_result());
}

void ExplorerWindow::MirrorList(QListView* widget, const ListBox& model,
                                std::vector<std::string>& shown) {
  const QSignalBlocker blocker(widget);
  const QSignalBlocker selection_blocker(widget->selectionModel());
  if (model.items != shown) {
    static_cast<QStringListModel*>(widget->model())->setStringList(QtTexts(model.items));
    shown = model.items;
  }
  QItemSelection selection;
  const std::size_t count = std::min(model.selected.size(), model.items.size());
  for (std::size_t first = 0; first < count;) {
    if (!model.selected[first]) {
      ++first;
      continue;
    }
    std::size_t last = first;
    while (last + 1 < count && model.selected[last + 1]) ++last;
    selection.select(widget->model()->index(static_cast<int>(first), 0),
                     widget->model()->index(static_cast<int>(last), 0));
    first = last + 1;
  }
  if (widget->selectionModel()->selection() != selection) {
    widget->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    widget->viewport()->update();
  }
}

void ExplorerWindow::MirrorCounter(QLineEdit* field, const NumberPanel& model) {
  field->setText(ToQt(model.Caption()));
  QPalette colours = field->palette();
  colours.setColor(QPalette::Text,
                   model.greyed ? kGreyedCounter : palette().color(QPalette::WindowText));
  field->setPalette(colours);
}

void ExplorerWindow::ReadSelection(const QListView* widget, ListBox& model) {
  model.selected.assign(model.items.size(), false);
  for (const QModelIndex& index : widget->selectionModel()->selectedIndexes()) {
    const auto row = static_cast<std::size_t>(index.row());
    if (row < model.selected.size()) model.selected[row] = true;
  }
}

void ExplorerWindow::FocusModelList() {
  if (form_.SrcList.focused) {
    src_list_->setFocus();
  } else if (form_.DstList.focused) {
    dst_list_->setFocus();
  }
}

void ExplorerWindow::CenterFatPanel() {
  fat_panel_->adjustSize();
  fat_panel_->move((width() - fat_panel_->width()) / 2, (height() - fat_panel_->height()) / 2);
}

}  // namespace webhoard::gui
