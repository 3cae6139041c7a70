#include "gui/main_window.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/pictures.h"
#include "gui/text.h"

namespace webhoard::gui {
namespace {

constexpr int kMainHelpContext = 1;
constexpr int kGlyphSize = 48;

// The maker's logo: a picture that answers a click.
class ClickablePicture : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> on_click;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        on_click) {
      on_click();
    }
    QLabel::mouseReleaseEvent(event);
  }
};

QLabel* BoldText(const Label& model, QWidget* parent) {
  auto* label = new QLabel(ToQt(model.caption), parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setWordWrap(true);
  label->setMinimumWidth(340);
  return label;
}

}  // namespace

MainWindow::MainWindow(TControlForm& form, Edition edition, QWidget* parent)
    : QMainWindow(parent), form_(form) {
  setObjectName(QStringLiteral("TControlForm"));
  setWindowTitle(QString::fromLatin1(kMainWindowTitle));
  setWindowIcon(EditionIcon(edition));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  SetHelpContext(this, kMainHelpContext);

  auto* central = new QWidget(this);
  central->setObjectName(QStringLiteral("BackPanel"));
  central->setAutoFillBackground(true);
  QPalette white = central->palette();
  white.setColor(QPalette::Window, Qt::white);
  white.setColor(QPalette::WindowText, Qt::black);
  central->setPalette(white);

  auto* banner = new QLabel(central);
  banner->setObjectName(QStringLiteral("Banner"));
  banner->setPixmap(Picture("banner"));
  banner->setAlignment(Qt::AlignTop);
  auto* logo = new QLabel(central);
  logo->setObjectName(QStringLiteral("Logo"));
  logo->setPixmap(Picture("logo"));
  logo->setAccessibleName(QStringLiteral("Webhoard"));

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(14);
  grid->setVerticalSpacing(10);
  AddPictureButton(form_.WebhoardButton, "WebhoardButton", "explorer", form_.WebhoardText,
                   [this] { form_.WebhoardButtonClick(); }, central, grid, 0);
  AddPictureButton(form_.ViewButton, "ViewButton", "view_index", form_.ViewText,
                   [this] { form_.ViewButtonClick(); }, central, grid, 1);
  AddPictureButton(form_.SearchButton, "SearchButton", "search", form_.SearchText,
                   [this] { form_.SearchButtonClick(); }, central, grid, 2);
  AddPictureButton(form_.SetupButton, "SetupButton", "properties", form_.SetupText,
                   [this] { form_.SetupButtonClick(); }, central, grid, 3);

  auto* maker = new ClickablePicture(central);
  maker->setObjectName(QStringLiteral("Image2"));
  maker->setPixmap(Picture("maker"));
  maker->setCursor(PointingHandCursor());
  maker->setAccessibleName(QStringLiteral("About Webhoard"));
  maker->on_click = [this] { Guarded([this] { form_.About1Click(); }); };

  auto* column = new QVBoxLayout;
  column->addWidget(logo, 0, Qt::AlignLeft);
  column->addSpacing(8);
  column->addLayout(grid);
  column->addStretch(1);
  column->addWidget(maker, 0, Qt::AlignRight);
  auto* row = new QHBoxLayout(central);
  row->setContentsMargins(0, 0, 14, 10);
  row->addWidget(banner);
  row->addSpacing(6);
  row->addLayout(column, 1);
  setCentralWidget(central);

  BuildMenus(edition);
  form_.set_on_changed([this] { Mirror(); });
  Mirror();
  layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() { form_.set_on_changed({}); }

QToolButton* MainWindow::AddPictureButton(Button& model, const char* name, const char* picture,
                                          const Label& text, std::function<void()> command,
                                          QWidget* parent, QGridLayout* grid, int row) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setIcon(QIcon(Picture(picture)));
  button->setIconSize(QSize(kGlyphSize, kGlyphSize));
  button->setFixedSize(kGlyphSize + 16, kGlyphSize + 16);
  button->setCursor(PointingHandCursor());
  button->setFocusPolicy(Qt::StrongFocus);
  button->setAutoRaise(false);
  QLabel* label = BoldText(text, parent);
  label->setBuddy(button);
  // The text beside a button is its name for screen readers and tests.
  button->setAccessibleName(PlainCaption(text.caption).section(u':', 0, 0));
  button->setToolTip(button->accessibleName());
  button->installEventFilter(this);
  connect(button, &QToolButton::clicked, this,
          [command = std::move(command)] { Guarded(command); });
  grid->addWidget(button, row, 0);
  grid->addWidget(label, row, 1);
  buttons_[static_cast<std::size_t>(button_count_++)] = {button, &model};
  return button;
}

void MainWindow::BuildMenus(Edition edition) {
  struct Item {
    TControlForm::MenuItem* model;
    const char* name;
    std::function<void()> command;
  };
  auto add = [this](QMenu* menu, const Item& item) {
    QAction* action = menu->addAction(Caption(item.model->caption));
    action->setObjectName(QString::fromLatin1(item.name));
    if (!item.model->shortcut.empty()) {
      // "Enter" is both the main keyboard's Return and the keypad's Enter.
      const QString shortcut = ToQt(item.model->shortcut);
      QList<QKeySequence> keys{QKeySequence(shortcut)};
      if (shortcut.endsWith(QStringLiteral("Enter"))) {
        keys.append(QKeySequence(QString(shortcut).replace(QStringLiteral("Enter"),
                                                           QStringLiteral("Return"))));
      }
      action->setShortcuts(keys);
      action->setShortcutContext(Qt::ApplicationShortcut);
    }
    connect(action, &QAction::triggered, this, [command = item.command] { Guarded(command); });
  };
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  add(file, {&form_.Reindex, "Reindex", [this] { form_.ReindexClick(); }});
  file->addSeparator();
  add(file, {&form_.Properties1, "Properties1", [this] { form_.SetupButtonClick(); }});
  file->addSeparator();
  add(file, {&form_.Exit1, "Exit1", [this] { form_.Exit1Click(); }});
  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  add(view, {&form_.CacheExplorer1, "CacheExplorer1", [this] { form_.WebhoardButtonClick(); }});
  add(view, {&form_.DefaultIndex1, "DefaultIndex1", [this] { form_.ViewButtonClick(); }});
  add(view, {&form_.SecondaryIndex,
             edition == Edition::kNavigator ? "SecondaryIndex" : "ViewSecondary",
             [this] { form_.SecondaryIndexClick(); }});
  add(view, {&form_.SearchForm1, "SearchForm1", [this] { form_.SearchButtonClick(); }});
  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  add(help, {&form_.Contents1, "Contents1", [this] { form_.Contents1Click(); }});
  help->addSeparator();
  add(help, {&form_.About1, "About1", [this] { form_.About1Click(); }});
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
    for (int i = 0; i < button_count_; ++i) {
      PictureButton& button = buttons_[static_cast<std::size_t>(i)];
      if (button.widget == watched) {
        form_.WebhoardButtonMouseMove(*button.model);
        button.widget->setFocus(Qt::MouseFocusReason);
      }
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::Mirror() {
  for (int i = 0; i < button_count_; ++i) {
    const PictureButton& button = buttons_[static_cast<std::size_t>(i)];
    button.widget->setEnabled(button.model->enabled);
  }
  if (form_.closed()) close();
}

void MainWindow::BringToTop() {
  show();
  raise();
  activateWindow();
}

}  // namespace webhoard::gui
