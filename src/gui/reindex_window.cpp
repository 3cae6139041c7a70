#include "gui/reindex_window.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/control_mirror.h"
#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/progress_window.h"
#include "gui/screen_scale.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

constexpr char kFolderCaption[] = "&Archive folder location";
constexpr char kExploreText[] = "Explore the archive to delete unwanted entries.";
constexpr char kReindexText[] =
    "When you have deleted entries from an archive, use the re-index feature to recreate the "
    "index files.";
// Widths at 120 pixels per inch: the folder field shows a usual path whole,
// the group texts wrap into two or three lines.
constexpr int kFolderWidth = 340;
constexpr int kGroupTextWidth = 300;

}  // namespace

ReindexWindow::ReindexWindow(TReindexForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName(QStringLiteral("TReindexForm"));
  setWindowTitle(ToQt(form.caption));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  SetHelpContext(this, kReindexHelpContext);

  dir_edit_ = new QLineEdit(this);
  dir_edit_->setObjectName(QStringLiteral("DirEdit"));
  dir_edit_->setAccessibleName(PlainCaption(kFolderCaption));
  browse_button_ = AddButton("BrowseButton", form.folder.BrowseButton);
  default_button_ = AddButton("DefaultBtn", form.folder.DefaultBtn);
  other_button_ = AddButton("OtherBtn", form.folder.OtherBtn);
  explore_button_ = AddButton("ExploreBtn", form.ExploreBtn);
  reindex_button_ = AddButton("ReindexBtn", form.ReindexBtn);
  close_button_ = AddButton("Button3", form.Button3);

  connect(dir_edit_, &QLineEdit::textEdited, this,
          [this](const QString& text) { form_.folder.DirEdit.text = FromQt(text); });
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now != nullptr && now->window() == this) form_.folder.DirEdit.focused = now == dir_edit_;
  });
  connect(browse_button_, &QPushButton::clicked, this,
          [this] { Guarded([this] { form_.BrowseButtonClick(); }); });
  connect(default_button_, &QPushButton::clicked, this,
          [this] { Guarded([this] { form_.DefaultBtnClick(); }); });
  connect(other_button_, &QPushButton::clicked, this,
          [this] { Guarded([this] { form_.OtherBtnClick(); }); });
  connect(explore_button_, &QPushButton::clicked, this,
          [this] { Guarded([this] { form_.ExploreBtnClick(); }); });
  connect(reindex_button_, &QPushButton::clicked, this, [this] {
    Guarded([this] {
      QtModalHost host(this);
      form_.ReindexBtnClick(host);
    });
  });
  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);

  auto* pages = new QTabWidget(this);
  pages->setObjectName(QStringLiteral("PageControl1"));
  pages->addTab(BuildGeneralPage(), QStringLiteral("General"));

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pages);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  QWidget::setTabOrder(dir_edit_, browse_button_);
  QWidget::setTabOrder(browse_button_, default_button_);
  QWidget::setTabOrder(default_button_, other_button_);
  QWidget::setTabOrder(other_button_, explore_button_);
  QWidget::setTabOrder(explore_button_, reindex_button_);
  QWidget::setTabOrder(reindex_button_, close_button_);

  form_.set_on_changed([this] { Mirror(); });
  Mirror();
}

ReindexWindow::~ReindexWindow() {
  form_.set_on_changed({});
}

QPushButton* ReindexWindow::AddButton(const char* name, const Button& model) {
  auto* button = new QPushButton(Caption(model.caption), this);
  button->setObjectName(QString::fromLatin1(name));
  button->setAccessibleName(PlainCaption(model.caption));
  button->setAutoDefault(false);
  return button;
}

QWidget* ReindexWindow::BuildGeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("General"));
  auto* label = new QLabel(Caption(kFolderCaption), page);
  label->setBuddy(dir_edit_);

  auto* folder_row = new QHBoxLayout;
  folder_row->addWidget(dir_edit_, 1);
  folder_row->addWidget(browse_button_);
  auto* location_row = new QHBoxLayout;
  location_row->addWidget(default_button_);
  location_row->addWidget(other_button_);
  location_row->addStretch(1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(label);
  layout->addLayout(folder_row);
  layout->addLayout(location_row);
  layout->addSpacing(6);
  layout->addWidget(CommandGroup("ExploreGB", "Explore Archive", kExploreText, explore_button_));
  layout->addWidget(CommandGroup("ReindexGB", "Re-index Archive", kReindexText, reindex_button_));
  dir_edit_->setMinimumWidth(Scaled(this, kFolderWidth));
  return page;
}

QGroupBox* ReindexWindow::CommandGroup(const char* name, const char* title, const char* text,
                                       QPushButton* button) {
  auto* group = new QGroupBox(QString::fromLatin1(title));
  group->setObjectName(QString::fromLatin1(name));
  auto* explanation = new QLabel(QString::fromLatin1(text), group);
  explanation->setWordWrap(true);
  explanation->setFixedWidth(Scaled(this, kGroupTextWidth));
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(explanation, 1);
  layout->addSpacing(8);
  layout->addWidget(button, 0, Qt::AlignVCenter);
  return group;
}

void ReindexWindow::showEvent(QShowEvent* event) {
  form_.SetModalResult(kModalNone);
  QDialog::showEvent(event);
}

void ReindexWindow::Mirror() {
  {
    const QSignalBlocker block(dir_edit_);
    MirrorEdit(dir_edit_, form_.folder.DirEdit);
  }
  MirrorButton(browse_button_, form_.folder.BrowseButton);
  MirrorButton(default_button_, form_.folder.DefaultBtn);
  MirrorButton(other_button_, form_.folder.OtherBtn);
  MirrorButton(explore_button_, form_.ExploreBtn);
  MirrorButton(reindex_button_, form_.ReindexBtn);
  MirrorButton(close_button_, form_.Button3);
  if (form_.closed() && isVisible()) done(form_.modal_result());
}

}  // namespace webhoard::gui
