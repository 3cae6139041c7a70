// The Properties dialog driven through its real widgets, over a registry
// kept as files in a temporary folder.
#include "gui/prefs_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>

#include "common/file_util.h"
#include "gui/gui_test_support.h"  // tests/gui
#include "platform/file_registry.h"
#include "settings/setting_names.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard::gui {
namespace {

// Public: the tables' steps act on the fixture.
class PrefsWindowTest : public ::testing::Test {
 public:
  // Creates the dialog as start-up does, shows it and lets `user` act in it.
  int Show(Edition edition, const std::function<void()>& user) {
    window_.reset();
    form_ = std::make_unique<TPrefsForm>(edition, prompter_, store_, settings_,
                                         [] { return std::string(); });
    form_->FormCreate();
    window_ = std::make_unique<PrefsWindow>(*form_, edition, nullptr);
    webhoard::testing::WhenModalShown([user](QWidget*) { user(); });
    return window_->ShowModal();
  }
  template <class Widget = QWidget>
  Widget* Find(const char* name) const {
    auto* widget = window_->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Check boxes and radio buttons take the click on their indicator.
  void Click(const char* name) const {
    auto* button = Find<QAbstractButton>(name);
    const bool push = button->inherits("QPushButton") || button->inherits("QToolButton");
    QTest::mouseClick(button, Qt::LeftButton, {},
                      push ? button->rect().center() : QPoint(8, button->height() / 2));
  }
  void Type(const char* name, const QString& text) const {
    Find<QLineEdit>(name)->selectAll();
    QTest::keyClicks(Find(name), text);
  }
  bool Stored(const std::string& line) const {
    const auto file = ReadFileBytes(dir_.File("HKEY_CURRENT_USER.reg"));
    return file && file->find(line) != std::string::npos;
  }

  webhoard::testing::TempDir dir_;
  FileRegistry registry_{dir_.path()};
  SettingsStore store_{registry_};
  webhoard::testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  std::unique_ptr<TPrefsForm> form_;
  std::unique_ptr<PrefsWindow> window_;
};

// The same edits, then each way of leaving the dialog: OK and Apply store
// them in the registry file, every other closing undoes them.
TEST_F(PrefsWindowTest, ChangesReachTheRegistryFileOnlyThroughOkOrApply) {
  using Step = std::function<void(PrefsWindowTest&)>;
  const struct {
    const char* closing;
    Step close;
    int result;
    bool stored;
  } cases[] = {
      {"OK", [](PrefsWindowTest& t) { t.Click("OKBtn"); }, kModalOk, true},
      {"Apply, Cancel",
       [](PrefsWindowTest& t) {
         t.Click("ApplyBtn");
         t.Click("CancelBtn");
       },
       kModalCancel, true},
      {"Cancel", [](PrefsWindowTest& t) { t.Click("CancelBtn"); }, kModalCancel, false},
      {"Esc", [](PrefsWindowTest& t) { QTest::keyClick(t.window_.get(), Qt::Key_Escape); },
       kModalCancel, false},
      {"title bar", [](PrefsWindowTest& t) { t.window_->close(); }, kModalCancel, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.closing);
    std::remove(dir_.File("HKEY_CURRENT_USER.reg").c_str());
    const int result = Show(Edition::kInternetExplorer, [&] {
      Click("CheckBox3");  // strikeout off
      Click("CheckBox2");  // emphasis on
      Click("ItalicizedRB");
      Type("DefaultDirectoryEB", QStringLiteral("/typed/"));
      // Typing inside the text keeps the cursor where it is.
      QTest::keyClick(Find("DefaultDirectoryEB"), Qt::Key_Home);
      QTest::keyClicks(Find("DefaultDirectoryEB"), QStringLiteral("/srv"));
      EXPECT_EQ(settings_.current_archive_folder, "/srv/typed/");
      EXPECT_TRUE(Find("ApplyBtn")->isEnabled());
      c.close(*this);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(Stored("\"Strikeout links\"=\"0\""), c.stored);
    EXPECT_EQ(Stored("\"Emphasize Type\"=\"1\""), c.stored);
    EXPECT_EQ(Stored("\"Default directory\"=\"/srv/typed/\""), c.stored);
    // Closing reloads the widgets and the in-memory settings.
    EXPECT_EQ(Find<QCheckBox>("CheckBox3")->isChecked(), !c.stored);
    EXPECT_EQ(Find<QLineEdit>("DefaultDirectoryEB")->text() == "/srv/typed/", c.stored);
    EXPECT_EQ(settings_.emphasizing_tag, c.stored ? "I" : "B");
    EXPECT_FALSE(Find("ApplyBtn")->isEnabled());
  }
}

// One showing, step by step: what the emphasis controls enable and what the
// sample shows (literally, angle brackets and all, grey while not in effect).
TEST_F(PrefsWindowTest, EmphasisOnOffAndCustomEnableTheRightControls) {
  const char* arial = "<FONT FACE=\"Arial\">Link Here</FONT>";
  const char* bold = "<B>Link Here</FONT>";
  const struct {
    const char* click;  // else the tag typed
    bool choices;
    bool tag_fields;
    const char* sample;
    const char* tag;
  } steps[] = {
      {"", false, false, arial, "B"},  // as stored: emphasis off, bold
      {"CheckBox2", true, false, arial, "B"},
      {"CustomRB", true, true, arial, "FONT FACE=\"Arial\""},
      {nullptr, true, true, bold, "B"},
      {"LargerTextRB", true, false, bold, "FONT SIZE=+1"},
      {"CustomRB", true, true, bold, "B"},
      {"CheckBox2", false, false, bold, "B"},
  };
  Show(Edition::kNavigator, [&] {
    auto* sample = Find<QLabel>("Panel2");
    EXPECT_EQ(sample->textFormat(), Qt::PlainText);
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    for (const auto& s : steps) {
      SCOPED_TRACE(s.click == nullptr ? "typed" : s.click);
      if (s.click == nullptr) Type("EmphasizedEB", QStringLiteral("B"));
      if (s.click != nullptr && *s.click != '\0') Click(s.click);
      for (const char* choice : {"BoldRB", "ItalicizedRB", "LargerTextRB", "CustomRB"}) {
        EXPECT_EQ(Find(choice)->isEnabled(), s.choices) << choice;
      }
      EXPECT_EQ(Find("EmphasizedEB")->isEnabled(), s.tag_fields);
      EXPECT_EQ(Find("DeEmphasizedEB")->isEnabled(), s.tag_fields);
      EXPECT_EQ(sample->text(), QString::fromLatin1(s.sample));
      EXPECT_EQ(sample->palette().color(sample->foregroundRole()),
                s.tag_fields ? QColor(Qt::black) : grey);
      EXPECT_EQ(settings_.emphasizing_tag, s.tag);
    }
    Click("CancelBtn");
  });
}

// The Navigator edition opens on "Browser" while the cache index file is
// missing and picks it with the form's file picker; the Internet Explorer
// edition has no such page.
TEST_F(PrefsWindowTest, TheBrowserPageByEditionAndIndexFile) {
  const std::string index = dir_.Write("cache/FAT.DB", "");
  const struct {
    Edition edition;
    std::string stored_path;
    const char* opens_on;
  } cases[] = {
      {Edition::kNavigator, dir_.File("gone/FAT.DB"), "BrowserTab"},
      {Edition::kNavigator, index, "ExportTab"},
      {Edition::kInternetExplorer, "", "ExportTab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored_path);
    const bool navigator = c.edition == Edition::kNavigator;
    store_.WriteSettingText(kBrowserOptions, kFatPath, c.stored_path);
    Show(c.edition, [&] {
      auto* pages = Find<QTabWidget>("ExportPageControl");
      EXPECT_EQ(pages->count(), navigator ? 2 : 1);
      EXPECT_EQ(pages->currentWidget()->objectName(), QString::fromLatin1(c.opens_on));
      if (navigator) {
        EXPECT_EQ(pages->tabText(kBrowserPage), "Browser");
        EXPECT_EQ(Find<QLabel>("FatDbVersionsLabel")->text(), "In Netscape 2, 3 & 4");
        EXPECT_EQ(Find<QLineEdit>("FATEdit")->text().toStdString(), c.stored_path);
        prompter_.ChooseFile(index);
        Click("BrowseFATBtn");
        EXPECT_EQ(Find<QLineEdit>("FATEdit")->text().toStdString(), index);
        EXPECT_TRUE(Find("ApplyBtn")->isEnabled());
      }
      Click("OKBtn");
    });
    if (navigator) {
      EXPECT_EQ(settings_.cache_index_path, index);
    }
  }
}

// Writes the dialog's pictures into the folder WEBHOARD_SCREENSHOTS names.
using PrefsScreenshots = PrefsWindowTest;

TEST_F(PrefsScreenshots, Properties) {
  const char* folder = std::getenv("WEBHOARD_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "WEBHOARD_SCREENSHOTS names no folder";
  store_.WriteSettingText(kExportOptions, kDefaultDirectory, "/home/ann/Webhoard/ARCHIVE/");
  store_.WriteSettingText(kExportOptions, kExportDirectoryName, "/media/backup/web/");
  store_.WriteSettingText(kExportOptions, kEmphasizeLinks, "1");
  store_.WriteSettingText(kBrowserOptions, kFatPath, "/home/ann/.netscape/cache/FAT.DB");
  const struct {
    Edition edition;
    int page;
    const char* file;
  } shots[] = {
      {Edition::kNavigator, kGeneralPage, "nav-properties.png"},
      {Edition::kNavigator, kBrowserPage, "nav-properties-browser.png"},
      {Edition::kInternetExplorer, kGeneralPage, "ie-properties.png"},
  };
  for (const auto& shot : shots) {
    Show(shot.edition, [&] {
      Find<QTabWidget>("ExportPageControl")->setCurrentIndex(shot.page);
      EXPECT_TRUE(window_->grab().save(QString::fromLatin1(folder) + '/' + shot.file));
      Click("CancelBtn");
    });
  }
}

}  // namespace
}  // namespace webhoard::gui
