#include "gui/prefs_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <tuple>
#include <utility>

#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/pictures.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

constexpr char kLocationText[] =
    "Location of the Netscape cache index file. Normally located in the Netscape cache folder "
    "and called:";
constexpr char kFatName[] = "FAT";
constexpr char kFatVersions[] = "in Netscape 1.x";
constexpr char kFatDbName[] = "FAT.DB";
constexpr char kFatDbVersions[] = "In Netscape 2, 3 && 4";
constexpr char kEmphasizingTagLabel[] = "Emphasi&zing tag";
constexpr char kDeEmphasizingTagLabel[] = "De-emphasizin&g tag";

// Widths in average characters of the dialog's font, so they follow it.
constexpr int kFolderFieldChars = 44;
constexpr int kTagFieldChars = 22;

QString Name(const char* name) { return QString::fromLatin1(name); }

// A label that shows its text as written: no accelerator, "&&" one "&".
QLabel* PlainLabel(std::string_view text, const char* name, QWidget* parent) {
  auto* label = new QLabel(PlainCaption(text), parent);
  label->setObjectName(Name(name));
  label->setTextFormat(Qt::PlainText);
  return label;
}

int CharWidths(const QWidget* widget, int chars) {
  return widget->fontMetrics().averageCharWidth() * chars;
}

}  // namespace

PrefsWindow::PrefsWindow(TPrefsForm& form, Edition edition, QWidget* parent)
    : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("TPrefsForm"));
  setWindowTitle(ToQt(form.caption));
  setWindowIcon(EditionIcon(edition));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setModal(true);
  SetHelpContext(this, form.help_context);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("ExportPageControl"));
  SetHelpContext(pages_, form.help_context);
  pages_->addTab(MakeGeneralPage(), QStringLiteral("General"));
  if (edition == Edition::kNavigator) pages_->addTab(MakeBrowserPage(), QStringLiteral("Browser"));
  connect(pages_, &QTabWidget::currentChanged, this,
          [this](int index) { form_.ExportPageControl = index; });

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages_);
  layout->addWidget(MakeButtonRow());
  layout->setSizeConstraint(QLayout::SetFixedSize);

  form_.set_on_changed([this] { Mirror(); });
  Mirror();
}

PrefsWindow::~PrefsWindow() { form_.set_on_changed({}); }

QWidget* PrefsWindow::MakeGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("ExportTab"));
  SetHelpContext(page, form_.help_context);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeFoldersGroup(page));
  layout->addWidget(AddCheckBox(form_.DetailedIndexCB, "DetailedIndexCB",
                                &TPrefsForm::DetailedIndexCBClick, page));
  layout->addWidget(MakeLinksGroup(page));
  layout->addStretch(1);
  return page;
}

QWidget* PrefsWindow::MakeFoldersGroup(QWidget* parent) {
  auto* group = new QGroupBox(Caption(form_.DirectoryLocationGroupBox.caption), parent);
  group->setObjectName(QStringLiteral("DirectoryLocationGroupBox"));
  const std::vector<RadioButton*> folders = {&form_.UseDefaultRB, &form_.ChooseDirectoryRB};
  auto* grid = new QGridLayout(group);
  grid->setColumnMinimumWidth(0, style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) + 6);
  grid->addWidget(AddRadioButton(form_.UseDefaultRB, "UseDefaultRB", folders,
                                 &TPrefsForm::ChooseDirectoryRBClick, group),
                  0, 0, 1, 3);
  QLineEdit* default_folder = AddEdit(form_.DefaultDirectoryEB, "DefaultDirectoryEB",
                                      &TPrefsForm::DefaultDirectoryEBChange, group);
  default_folder->setAccessibleName(PlainCaption(form_.UseDefaultRB.caption));
  default_folder->setMinimumWidth(CharWidths(default_folder, kFolderFieldChars));
  grid->addWidget(default_folder, 1, 1);
  grid->addWidget(AddBrowseButton(form_.BrowseSpeedButton, "BrowseSpeedButton",
                                  &TPrefsForm::BrowseSpeedButtonClick, group),
                  1, 2);
  grid->addWidget(AddRadioButton(form_.ChooseDirectoryRB, "ChooseDirectoryRB", folders,
                                 &TPrefsForm::ChooseDirectoryRBClick, group),
                  2, 0, 1, 3);
  QLineEdit* secondary = AddEdit(form_.ExportDirNameEB, "ExportDirNameEB",
                                 &TPrefsForm::ExportDirNameEBChange, group);
  secondary->setAccessibleName(PlainCaption(form_.ChooseDirectoryRB.caption));
  grid->addWidget(secondary, 3, 1);
  grid->addWidget(AddBrowseButton(form_.BrowseButton, "BrowseButton",
                                  &TPrefsForm::BrowseButtonClick, group),
                  3, 2);
  return group;
}

QWidget* PrefsWindow::MakeLinksGroup(QWidget* parent) {
  auto* links = new QWidget(parent);
  auto* layout = new QVBoxLayout(links);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(AddCheckBox(form_.CheckBox1, "CheckBox1", &TPrefsForm::CheckBox1Click, links));
  layout->addWidget(AddCheckBox(form_.CheckBox3, "CheckBox3", &TPrefsForm::CheckBox3Click, links));
  layout->addWidget(AddCheckBox(form_.CheckBox2, "CheckBox2", &TPrefsForm::CheckBox2Click, links));
  auto* indented = new QHBoxLayout;
  indented->addSpacing(style()->pixelMetric(QStyle::PM_IndicatorWidth) + 6);
  indented->addWidget(MakeEmphasisPanel(links), 1);
  layout->addLayout(indented);
  return links;
}

QWidget* PrefsWindow::MakeEmphasisPanel(QWidget* parent) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QStringLiteral("EmphasizePanel"));
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setFrameShadow(QFrame::Sunken);
  const std::vector<RadioButton*> choices = {&form_.BoldRB, &form_.ItalicizedRB,
                                             &form_.LargerTextRB, &form_.CustomRB};
  auto* choice_column = new QVBoxLayout;
  const std::pair<RadioButton*, const char*> buttons[] = {{&form_.BoldRB, "BoldRB"},
                                                          {&form_.ItalicizedRB, "ItalicizedRB"},
                                                          {&form_.LargerTextRB, "LargerTextRB"},
                                                          {&form_.CustomRB, "CustomRB"}};
  for (const auto& [model, name] : buttons) {
    choice_column->addWidget(
        AddRadioButton(*model, name, choices, &TPrefsForm::CustomRBClick, panel));
  }
  choice_column->addStretch(1);

  auto* tags = new QGridLayout;
  const std::tuple<EditBox*, const char*, const char*, const char*> fields[] = {
      {&form_.EmphasizedEB, "EmphasizedEB", kEmphasizingTagLabel, "EmphasizingTagLabel"},
      {&form_.DeEmphasizedEB, "DeEmphasizedEB", kDeEmphasizingTagLabel, "DeEmphasizingTagLabel"}};
  int row = 0;
  for (const auto& [model, name, caption, label_name] : fields) {
    auto* label = new QLabel(Caption(caption), panel);
    label->setObjectName(Name(label_name));
    QLineEdit* edit = AddEdit(*model, name, &TPrefsForm::EmphasizedEBChange, panel);
    edit->setAccessibleName(PlainCaption(caption));
    edit->setMinimumWidth(CharWidths(edit, kTagFieldChars));
    label->setBuddy(edit);
    tags->addWidget(label, row, 0);
    tags->addWidget(edit, row, 1);
    ++row;
  }
  sample_ = new QLabel(panel);
  sample_->setObjectName(QStringLiteral("Panel2"));
  sample_->setTextFormat(Qt::PlainText);
  sample_->setAlignment(Qt::AlignCenter);
  sample_->setFrameShape(QFrame::Panel);
  sample_->setFrameShadow(QFrame::Sunken);
  sample_->setAutoFillBackground(true);
  sample_->setBackgroundRole(QPalette::Base);
  sample_->setForegroundRole(QPalette::Text);
  sample_->setMinimumHeight(sample_->fontMetrics().height() * 2);
  sample_->setAccessibleName(QStringLiteral("Sample"));
  tags->addWidget(sample_, row, 0, 1, 2);

  auto* layout = new QHBoxLayout(panel);
  layout->addLayout(choice_column);
  layout->addSpacing(12);
  layout->addLayout(tags, 1);
  return panel;
}

QWidget* PrefsWindow::MakeBrowserPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("BrowserTab"));
  SetHelpContext(page, form_.help_context);
  auto* group = new QGroupBox(Caption(form_.FATBox.caption), page);
  group->setObjectName(QStringLiteral("FATBox"));
  QLineEdit* path = AddEdit(form_.FATEdit, "FATEdit", &TPrefsForm::FATEditChange, group);
  path->setAccessibleName(PlainCaption(form_.FATBox.caption));
  path->setMinimumWidth(CharWidths(path, kFolderFieldChars));
  auto* path_row = new QHBoxLayout;
  path_row->addWidget(path, 1);
  path_row->addWidget(
      AddBrowseButton(form_.BrowseFATBtn, "BrowseFATBtn", &TPrefsForm::BrowseFATBtnClick, group));

  QLabel* location = PlainLabel(kLocationText, "LocationLabel", group);
  location->setWordWrap(true);
  auto* names = new QGridLayout;
  names->setColumnMinimumWidth(0, 16);
  names->setHorizontalSpacing(24);
  names->addWidget(PlainLabel(kFatName, "FatNameLabel", group), 0, 1);
  names->addWidget(PlainLabel(kFatVersions, "FatVersionsLabel", group), 0, 2);
  names->addWidget(PlainLabel(kFatDbName, "FatDbNameLabel", group), 1, 1);
  names->addWidget(PlainLabel(kFatDbVersions, "FatDbVersionsLabel", group), 1, 2);
  names->setColumnStretch(3, 1);

  auto* group_layout = new QVBoxLayout(group);
  group_layout->addLayout(path_row);
  group_layout->addSpacing(8);
  group_layout->addWidget(location);
  group_layout->addLayout(names);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(group);
  layout->addStretch(1);
  return page;
}

QWidget* PrefsWindow::MakeButtonRow() {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  QPushButton* ok = AddPushButton(form_.OKBtn, "OKBtn", &TPrefsForm::OKBtnClick, row);
  ok->setDefault(true);
  layout->addWidget(ok);
  layout->addWidget(AddPushButton(form_.CancelBtn, "CancelBtn", &TPrefsForm::CancelBtnClick, row));
  layout->addWidget(AddPushButton(form_.ApplyBtn, "ApplyBtn", &TPrefsForm::ApplyBtnClick, row));
  return row;
}

QCheckBox* PrefsWindow::AddCheckBox(CheckBox& model, const char* name, Handler handler,
                                    QWidget* parent) {
  auto* box = new QCheckBox(Caption(model.caption), parent);
  box->setObjectName(Name(name));
  box->setAccessibleName(PlainCaption(model.caption));
  connect(box, &QCheckBox::clicked, this, [this, &model, handler](bool checked) {
    model.checked = checked;
    Run(handler);
  });
  checks_.push_back({box, &model});
  return box;
}

QRadioButton* PrefsWindow::AddRadioButton(RadioButton& model, const char* name,
                                          std::vector<RadioButton*> group, Handler handler,
                                          QWidget* parent) {
  auto* button = new QRadioButton(Caption(model.caption), parent);
  button->setObjectName(Name(name));
  button->setAccessibleName(PlainCaption(model.caption));
  // Only a button that becomes checked acts, as a click on the checked one
  // changes nothing.
  connect(button, &QRadioButton::toggled, this,
          [this, &model, group = std::move(group), handler](bool checked) {
            if (!checked) return;
            for (RadioButton* member : group) member->checked = member == &model;
            Run(handler);
          });
  radios_.push_back({button, &model});
  return button;
}

QLineEdit* PrefsWindow::AddEdit(EditBox& model, const char* name, Handler handler,
                                QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(Name(name));
  connect(edit, &QLineEdit::textEdited, this, [this, &model, handler](const QString& text) {
    model.text = FromQt(text);
    Run(handler);
  });
  edits_.push_back({edit, &model});
  return edit;
}

QToolButton* PrefsWindow::AddBrowseButton(Button& model, const char* name, Handler handler,
                                          QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setText(Caption(model.caption));
  button->setObjectName(Name(name));
  button->setAccessibleName(PlainCaption(model.caption));
  button->setToolTip(ToQt(kBrowseHint));
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  connect(button, &QToolButton::clicked, this, [this, handler] { Run(handler); });
  buttons_.push_back({button, &model});
  return button;
}

QPushButton* PrefsWindow::AddPushButton(Button& model, const char* name, Handler handler,
                                        QWidget* parent) {
  auto* button = new QPushButton(Caption(model.caption), parent);
  button->setObjectName(Name(name));
  button->setAccessibleName(PlainCaption(model.caption));
  button->setAutoDefault(false);
  connect(button, &QPushButton::clicked, this, [this, handler] { Run(handler); });
  buttons_.push_back({button, &model});
  return button;
}

void PrefsWindow::Run(Handler handler) {
  Guarded([this, handler] { (form_.*handler)(); });
}

int PrefsWindow::ShowModal() {
  Guarded([this] { form_.FormShow(); });
  Mirror();
  CentreOnScreen();
  const int result = exec();
  Guarded([this] { form_.FormClose(); });
  return result;
}

void PrefsWindow::reject() { Run(&TPrefsForm::CancelBtnClick); }

void PrefsWindow::Mirror() {
  for (const CheckBinding& b : checks_) {
    const QSignalBlocker blocker(b.widget);
    b.widget->setChecked(b.model->checked);
    b.widget->setEnabled(b.model->enabled);
  }
  for (const RadioBinding& b : radios_) {
    const QSignalBlocker blocker(b.widget);
    if (b.model->checked != b.widget->isChecked()) {
      // An exclusive group unchecks only by checking another.
      b.widget->setAutoExclusive(false);
      b.widget->setChecked(b.model->checked);
      b.widget->setAutoExclusive(true);
    }
    b.widget->setEnabled(b.model->enabled);
  }
  for (const EditBinding& b : edits_) {
    const QSignalBlocker blocker(b.widget);
    // Setting the same text again would move the cursor while the user types.
    const QString text = ToQt(b.model->text);
    if (b.widget->text() != text) b.widget->setText(text);
    b.widget->setEnabled(b.model->enabled);
  }
  for (const ButtonBinding& b : buttons_) {
    b.widget->setEnabled(b.model->enabled);
    b.widget->setVisible(b.model->visible);
  }
  {
    const QSignalBlocker blocker(pages_);
    if (form_.ExportPageControl < pages_->count()) pages_->setCurrentIndex(form_.ExportPageControl);
  }
  MirrorSample();
  if (form_.closed() && isVisible()) done(form_.modal_result());
}

void PrefsWindow::MirrorSample() {
  sample_->setText(ToQt(form_.Panel2.caption));
  QPalette palette = sample_->palette();
  const QColor ink = form_.Panel2.greyed
                         ? QApplication::palette().color(QPalette::Disabled, QPalette::Text)
                         : QColor(Qt::black);
  palette.setColor(sample_->foregroundRole(), ink);
  sample_->setPalette(palette);
}

void PrefsWindow::CentreOnScreen() {
  adjustSize();
  const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen()
                                                    : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

}  // namespace webhoard::gui
