// The front end's own pieces: texts from caches, message boxes through the
// prompter, one instance per program file name.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include <QLineEdit>
#include <QTest>

#include "gui/guarded.h"
#include "gui/help_system.h"
#include "support/fake_opener.h"
#include "support/temp_dir.h"
#include "gui/qt_prompter.h"
#include "gui/single_instance.h"
#include "gui/text.h"
#include "gui/gui_test_support.h"  // tests/gui

namespace webhoard::gui {
namespace {

using webhoard::testing::AnswerNextMessage;
using webhoard::testing::SeenMessage;
using webhoard::testing::WaitUntil;

TEST(DesktopText, CacheBytesAndCaptionsReadAsTheUserExpects) {
  struct Case {
    std::string bytes;
    QString shown;
  } cases[] = {
      {"plain", QStringLiteral("plain")},
      {"caf\xC3\xA9", QStringLiteral("caf\u00E9")},           // UTF-8
      {"caf\xE9 \x80", QStringLiteral("caf\u00E9 \u20AC")},    // Windows-1252
      {std::string("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(ToQt(c.bytes), c.shown) << c.bytes;
  EXPECT_EQ(FromQt(QStringLiteral("caf\u00E9")), "caf\xC3\xA9");
  EXPECT_EQ(MessageText("one\r\ntwo"), QStringLiteral("one\ntwo"));
  EXPECT_EQ(PlainCaption("&Archive"), QStringLiteral("Archive"));
  EXPECT_EQ(PlainCaption("In Netscape 2, 3 && 4"), QStringLiteral("In Netscape 2, 3 & 4"));
  EXPECT_EQ(FileDialogFilter("Netscape FAT file (FAT, FAT.DB)|FAT;FAT.DB"),
            QStringLiteral("Netscape FAT file (FAT FAT.DB)"));
}

TEST(DesktopPrompter, MessageBoxesAnswerTheButtonPressed) {
  struct Case {
    unsigned buttons;
    QMessageBox::StandardButton press;
    MessageResult expected;
  } cases[] = {
      {kButtonOk, QMessageBox::Ok, MessageResult::kOk},
      {kButtonYes | kButtonNo | kButtonCancel, QMessageBox::No, MessageResult::kNo},
      {kButtonYes | kButtonNo | kButtonCancel, QMessageBox::Cancel, MessageResult::kCancel},
      {kButtonOk | kButtonCancel, QMessageBox::Cancel, MessageResult::kCancel},
      // Esc on a Yes/No box is No.
      {kButtonYes | kButtonNo, QMessageBox::NoButton, MessageResult::kNo},
  };
  QtPrompter prompter;
  for (const Case& c : cases) {
    SeenMessage seen;
    AnswerNextMessage(c.press, &seen);
    EXPECT_EQ(prompter.ShowMessage("First line\r\nsecond", MessageKind::kWarning, c.buttons, 0),
              c.expected);
    EXPECT_EQ(seen.text, "First line\nsecond");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
  }
}

TEST(DesktopGuard, AnErrorThatEscapesAHandlerIsShownAndTheProgramGoesOn) {
  SeenMessage seen;
  AnswerNextMessage(QMessageBox::Ok, &seen);
  EXPECT_FALSE(Guarded([] { throw std::runtime_error("disk on fire"); }));
  EXPECT_EQ(seen.text, "disk on fire");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_TRUE(Guarded([] {}));
}

TEST(DesktopHelp, F1OpensTheTopicOfTheFocusedControlOrItsWindow) {
  webhoard::testing::TempDir dir;
  dir.Write("help/5.html", "<p>Cache Explorer</p>");
  dir.Write("help/16.html", "<p>Available Domains</p>");
  QtPrompter prompter;
  HelpSystem help(dir.File("help"), prompter);
  qApp->installEventFilter(&help);

  QWidget window;
  SetHelpContext(&window, 5);
  auto* list = new QLineEdit(&window);
  SetHelpContext(list, 16);
  auto* plain = new QLineEdit(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  const struct {
    QWidget* focus;
    const char* opens;
  } cases[] = {{list, "16.html"}, {plain, "5.html"}};
  for (const auto& c : cases) {
    webhoard::testing::FakeOpener opener("exit 0");
    c.focus->setFocus();
    QTest::keyClick(c.focus, Qt::Key_F1);
    const auto recorded = opener.RecordedArguments();
    ASSERT_TRUE(recorded.has_value()) << c.opens;
    EXPECT_NE(recorded->find(dir.File("help/") + c.opens), std::string::npos) << *recorded;
  }
  qApp->removeEventFilter(&help);

  // Without the pages: the written message, and no browser.
  HelpSystem missing(dir.File("no-help"), prompter);
  webhoard::testing::FakeOpener opener("exit 0");
  SeenMessage seen;
  AnswerNextMessage(QMessageBox::Ok, &seen);
  missing.ShowTopicOrComplain(5);
  EXPECT_EQ(seen.text, "Help file not found");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_FALSE(opener.RecordedArguments().has_value());
}

TEST(DesktopSingleInstance, OneInstancePerProgramFileName) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  SingleInstance first(QStringLiteral("webhoard-nav"), folder.path());
  ASSERT_TRUE(first.Claim());
  QSignalSpy raised(&first, &SingleInstance::raiseRequested);

  SingleInstance second(QStringLiteral("webhoard-nav"), folder.path());
  EXPECT_FALSE(second.Claim());
  EXPECT_TRUE(WaitUntil([&] { return raised.count() == 1; }));

  // A copy under another file name, and the other edition, run on their own.
  SingleInstance copy(QStringLiteral("webhoard-nav (copy)"), folder.path());
  EXPECT_TRUE(copy.Claim());
  SingleInstance other(QStringLiteral("webhoard-ie"), folder.path());
  EXPECT_TRUE(other.Claim());
}

}  // namespace
}  // namespace webhoard::gui
