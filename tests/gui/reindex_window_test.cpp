// The "Delete from Archive" dialog driven through its widgets over an
// archive made from the bundled sample cache.
#include "gui/reindex_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "common/file_util.h"
#include "gui/gui_test_support.h"  // tests/gui
#include "gui/help_system.h"
#include "gui/qt_prompter.h"
#include "gui/sample_archive.h"  // tests/gui
#include "settings/setting_names.h"
#include "support/fake_opener.h"
#include "support/memory_registry.h"

namespace webhoard::gui {
namespace {

using webhoard::testing::AnswerNextMessage;
using webhoard::testing::SeenMessage;
using webhoard::testing::WhenModalShown;

TEST(ReindexWindow, ReindexDropsWhatWasDeletedByHandAndExploreOpensTheFolder) {
  testing::SampleArchive archive;
  ASSERT_FALSE(archive.folder().empty());
  const std::string deleted = archive.CopyOf("/photos/summit.jpg");
  const std::string catalogue = archive.folder() + "archive.dat";
  ASSERT_FALSE(deleted.empty());
  ASSERT_NE(ReadFileBytes(catalogue).value_or("").find("summit.jpg"), std::string::npos);

  testing::MemoryRegistry registry;
  SettingsStore store(registry);
  QtPrompter prompter;
  InMemorySettings settings;
  settings.current_archive_folder = archive.dir.File("chosen/");
  ArchiveRunEnvironment environment;
  environment.prompter = &prompter;
  environment.settings = &settings;
  TReindexForm form(prompter, store, environment);
  form.FormCreate();
  ReindexWindow window(form, nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Delete from Archive"));
  EXPECT_EQ(HelpContextOf(&window), kReindexHelpContext);
  EXPECT_EQ(window.findChild<QTabWidget*>("PageControl1")->tabText(0), QStringLiteral("General"));
  auto* dir_edit = window.findChild<QLineEdit*>("DirEdit");
  auto* explore = window.findChild<QPushButton*>("ExploreBtn");
  auto* reindex = window.findChild<QPushButton*>("ReindexBtn");
  const auto type_folder = [dir_edit](const std::string& folder) {
    dir_edit->selectAll();
    QTest::keyClick(dir_edit, Qt::Key_Backspace);
    QTest::keyClicks(dir_edit, QString::fromStdString(folder));
  };

  // Both commands refuse a folder without a catalogue, and run nothing.
  type_folder(archive.dir.File("program"));
  for (QPushButton* command : {explore, reindex}) {
    SeenMessage seen;
    AnswerNextMessage(QMessageBox::Ok, &seen);
    QTest::mouseClick(command, Qt::LeftButton);
    EXPECT_EQ(seen.text, "Couldn't find an archive info file\n(archive.dat) in this folder.");
    EXPECT_EQ(window.focusWidget(), dir_edit);
  }
  EXPECT_EQ(form.last_run(), nullptr);

  // The folder typed without its trailing separator.
  std::string typed = archive.folder();
  typed.pop_back();
  type_folder(typed);
  {
    testing::FakeOpener opener("exit 0");
    QTest::mouseClick(explore, Qt::LeftButton);
    EXPECT_EQ(opener.RecordedArguments().value_or(""), "1\n" + archive.folder() + "\n");
  }

  ASSERT_EQ(std::remove(deleted.c_str()), 0);
  SeenMessage question;
  WhenModalShown([&question](QWidget*) { AnswerNextMessage(QMessageBox::No, &question); });
  QTest::mouseClick(reindex, Qt::LeftButton);
  EXPECT_TRUE(question.text.starts_with("Re-indexing completed.\n")) << question.text;
  EXPECT_TRUE(question.text.ends_with("Do you wish to load this index now?")) << question.text;
  EXPECT_EQ(ReadFileBytes(catalogue).value_or("").find("summit.jpg"), std::string::npos);
  EXPECT_NE(ReadFileBytes(catalogue).value_or("").find("summit.html"), std::string::npos);
  EXPECT_EQ(settings.current_archive_folder, archive.dir.File("chosen/"));
  EXPECT_EQ(store.ReadSettingText(kGeneralOptions, kReindexDirectory, ""), typed);
  EXPECT_TRUE(window.isVisible());

  QTest::mouseClick(window.findChild<QPushButton*>("Button3"), Qt::LeftButton);
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace webhoard::gui
