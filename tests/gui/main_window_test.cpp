// The main window through its real widgets: every command reached by mouse
// and by keyboard, the written messages, the pictures and the cursor.
#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <map>

#include "gui/gui_test_support.h"
#include "gui/qt_prompter.h"
#include "settings/setting_names.h"
#include "support/memory_registry.h"
#include "support/temp_dir.h"

namespace webhoard::gui {
namespace {

using webhoard::testing::AnswerNextMessage;
using webhoard::testing::SeenMessage;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ControlFormWindows windows;
    windows.show_cache_explorer = [this] { ++opened_["explorer"]; };
    windows.show_properties = [this] { ++opened_["properties"]; };
    windows.show_search = [this] { ++opened_["search"]; };
    windows.show_reindex = [this] { ++opened_["reindex"]; };
    windows.show_about = [this] { ++opened_["about"]; };
    windows.show_help = [this](int context) { return ++opened_["help" + std::to_string(context)] > 0; };
    form_.set_windows(windows);
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  // Keys reach the menu's shortcuts while the window is the active one.
  void Press(const QKeySequence& keys) {
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    QTest::keySequence(&window_, keys);
  }

  QToolButton* Button(const char* name) {
    return window_.findChild<QToolButton*>(QString::fromLatin1(name));
  }

  webhoard::testing::TempDir dir_;
  webhoard::testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  QtPrompter prompter_;
  InMemorySettings settings_;
  TCacheItemList items_;
  TSelectionForm explorer_{Edition::kInternetExplorer, prompter_, items_};
  TControlForm form_{Edition::kInternetExplorer, prompter_, store_, settings_, items_, explorer_,
                     {}};
  MainWindow window_{form_, Edition::kInternetExplorer};
  std::map<std::string, int> opened_;
};

TEST_F(MainWindowTest, EveryCommandIsReachedByMouseAndByKeyboard) {
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("Webhoard"));
  EXPECT_EQ(window_.objectName(), QStringLiteral("TControlForm"));
  const struct {
    const char* button;  // clicked with the mouse, or nullptr
    QKeySequence keys;   // or pressed, or empty
    const char* opens;
  } cases[] = {
      {"WebhoardButton", {}, "explorer"},
      {nullptr, QKeySequence(QStringLiteral("Ctrl+E")), "explorer"},
      {"SearchButton", {}, "search"},
      {nullptr, QKeySequence(QStringLiteral("Ctrl+S")), "search"},
      {"SetupButton", {}, "properties"},
      {nullptr, QKeySequence(QStringLiteral("Alt+Return")), "properties"},
      {nullptr, QKeySequence(QStringLiteral("Ctrl+A")), "reindex"},
  };
  for (const auto& c : cases) {
    const int before = opened_[c.opens];
    if (c.button != nullptr) {
      QTest::mouseClick(Button(c.button), Qt::LeftButton);
    } else {
      Press(c.keys);
    }
    EXPECT_EQ(opened_[c.opens], before + 1) << c.opens << " " << (c.button ? c.button : "keys");
  }
  // The maker's logo opens About; Help > Contents asks for topic 1.
  auto* maker = window_.findChild<QLabel*>(QStringLiteral("Image2"));
  ASSERT_NE(maker, nullptr);
  QTest::mouseClick(maker, Qt::LeftButton);
  EXPECT_EQ(opened_["about"], 1);
  window_.findChild<QAction*>(QStringLiteral("Contents1"))->trigger();
  EXPECT_EQ(opened_["help1"], 1);
  // The picture buttons and the logo show the program's own hand cursor.
  EXPECT_EQ(Button("ViewButton")->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(maker->cursor().shape(), Qt::BitmapCursor);
}

TEST_F(MainWindowTest, IndexCommandsSayWhenThereIsNoIndex) {
  store_.WriteSettingText(kExportOptions, kDefaultDirectory, dir_.File("no-archive"));
  const struct {
    QKeySequence keys;
    const char* message;
  } cases[] = {
      {QKeySequence(QStringLiteral("Ctrl+D")),
       "No default index exists.\n\nUse the Cache Explorer\nto create one."},
      {QKeySequence(QStringLiteral("Ctrl+I")),
       "No secondary index exists.\n\nUse the Cache Explorer\nto create one."},
  };
  for (const auto& c : cases) {
    SeenMessage seen;
    AnswerNextMessage(QMessageBox::Ok, &seen);
    Press(c.keys);
    EXPECT_EQ(seen.text, c.message);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
  }
}

TEST_F(MainWindowTest, MovingTheMouseOverAPictureButtonGivesItTheFocus) {
  for (const char* name : {"SearchButton", "SetupButton", "WebhoardButton"}) {
    QToolButton* button = Button(name);
    QTest::mouseMove(button);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &move);
    EXPECT_TRUE(button->hasFocus()) << name;
  }
}

}  // namespace
}  // namespace webhoard::gui

namespace webhoard::gui {
namespace {

// Pictures of the windows for the README: written only when
// WEBHOARD_SCREENSHOTS names a folder.
TEST(MainWindowScreenshots, BothEditions) {
  const char* folder = std::getenv("WEBHOARD_SCREENSHOTS");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "WEBHOARD_SCREENSHOTS is not set";
  for (const Edition edition : {Edition::kNavigator, Edition::kInternetExplorer}) {
    webhoard::testing::MemoryRegistry registry;
    SettingsStore store(registry);
    QtPrompter prompter;
    InMemorySettings settings;
    TCacheItemList items;
    TSelectionForm explorer(edition, prompter, items);
    TControlForm form(edition, prompter, store, settings, items, explorer, {});
    MainWindow window(form, edition);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QString name = edition == Edition::kNavigator ? QStringLiteral("nav-main-window.png")
                                                        : QStringLiteral("ie-main-window.png");
    EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(folder) + u'/' + name));
  }
}

}  // namespace
}  // namespace webhoard::gui
