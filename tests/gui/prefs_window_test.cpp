// The Properties dialog driven through its real widgets, over a registry
// kept as files in a temporary folder.
#include "gui/prefs_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
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

using webhoard::testing::WhenModalShown;

// Public: the tables' steps act on the fixture.
class PrefsWindowTest : public ::testing::Test {
 public:
  PrefsWindow& Create(Edition edition) {
    window_.reset();
    form_ = std::make_unique<TPrefsForm>(edition, prompter_, store_, settings_,
                                         [this] { return located_; });
    form_->FormCreate();
    window_ = std::make_unique<PrefsWindow>(*form_, edition, nullptr);
    return *window_;
  }
  // Shows the dialog and lets `user` act in it once it is up.
  int Show(const std::function<void()>& user) {
    WhenModalShown([user](QWidget*) { user(); });
    return window_->ShowModal();
  }
  template <class Widget>
  Widget* Find(const char* name) const {
    auto* widget = window_->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Check boxes and radio buttons take a click on their indicator.
  void Click(const char* name) const {
    auto* button = Find<QAbstractButton>(name);
    const bool indicator = qobject_cast<QPushButton*>(button) == nullptr &&
                           qobject_cast<QToolButton*>(button) == nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {},
                      indicator ? QPoint(8, button->height() / 2) : button->rect().center());
  }
  void Type(const char* name, const QString& text) const {
    auto* edit = Find<QLineEdit>(name);
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  std::string RegistryFile() const {
    return ReadFileBytes(dir_.File("HKEY_CURRENT_USER.reg")).value_or("");
  }
  static bool Holds(const std::string& file, const std::string& line) {
    return file.find(line) != std::string::npos;
  }

  webhoard::testing::TempDir dir_;
  FileRegistry registry_{dir_.path()};
  SettingsStore store_{registry_};
  webhoard::testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  std::string located_;
  std::unique_ptr<TPrefsForm> form_;
  std::unique_ptr<PrefsWindow> window_;
};

// The same edits, then each way of leaving the dialog: OK and Apply store
// them in the registry file, every other closing undoes them.
TEST_F(PrefsWindowTest, ChangesReachTheRegistryFileOnlyThroughOkOrApply) {
  const struct {
    const char* closing;
    std::function<void(PrefsWindowTest&)> close;
    int result;
    bool stored;
  } cases[] = {
      {"OK", [](PrefsWindowTest& t) { t.Click("OKBtn"); }, kModalOk, true},
      {"Apply, Cancel",
       [](PrefsWindowTest& t) {
         t.Click("ApplyBtn");
         EXPECT_FALSE(t.Find<QPushButton>("ApplyBtn")->isEnabled());
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
    Create(Edition::kInternetExplorer);
    const int result = Show([&] {
      EXPECT_FALSE(Find<QPushButton>("ApplyBtn")->isEnabled());
      Click("CheckBox3");  // strikeout off
      Click("CheckBox2");  // emphasis on
      Click("ItalicizedRB");
      Type("DefaultDirectoryEB", QStringLiteral("/typed/"));
      // Typing inside the text keeps the cursor where it is.
      QTest::keyClick(Find<QLineEdit>("DefaultDirectoryEB"), Qt::Key_Home);
      QTest::keyClicks(Find<QLineEdit>("DefaultDirectoryEB"), QStringLiteral("/srv"));
      EXPECT_EQ(settings_.current_archive_folder, "/srv/typed/");
      EXPECT_TRUE(Find<QPushButton>("ApplyBtn")->isEnabled());
      c.close(*this);
    });
    EXPECT_EQ(result, c.result);
    EXPECT_FALSE(window_->isVisible());
    const std::string file = RegistryFile();
    EXPECT_EQ(Holds(file, "\"Strikeout links\"=\"0\""), c.stored);
    EXPECT_EQ(Holds(file, "\"Emphasize Type\"=\"1\""), c.stored);
    EXPECT_EQ(Holds(file, "\"Default directory\"=\"/srv/typed/\""), c.stored);
    // Closing reloads the widgets and the in-memory settings.
    EXPECT_EQ(Find<QCheckBox>("CheckBox3")->isChecked(), !c.stored);
    EXPECT_EQ(Find<QRadioButton>("ItalicizedRB")->isChecked(), c.stored);
    EXPECT_EQ(settings_.emphasizing_tag, c.stored ? "I" : "B");
    EXPECT_EQ(Find<QLineEdit>("DefaultDirectoryEB")->text() == QStringLiteral("/srv/typed/"),
              c.stored);
    EXPECT_FALSE(Find<QPushButton>("ApplyBtn")->isEnabled());
    // Each case starts from an empty registry.
    std::remove(dir_.File("HKEY_CURRENT_USER.reg").c_str());
  }
}

// One showing, step by step: what the emphasis controls enable and what the
// sample shows (literally, angle brackets and all).
TEST_F(PrefsWindowTest, EmphasisOnOffAndCustomEnableTheRightControls) {
  const struct {
    const char* step;
    std::function<void(PrefsWindowTest&)> act;
    bool choices;
    bool tag_fields;
    const char* sample;
    const char* tag;
  } steps[] = {
      {"as stored", [](PrefsWindowTest&) {}, false, false, "<FONT FACE=\"Arial\">Link Here</FONT>",
       "B"},
      {"emphasis on", [](PrefsWindowTest& t) { t.Click("CheckBox2"); }, true, false,
       "<FONT FACE=\"Arial\">Link Here</FONT>", "B"},
      {"custom", [](PrefsWindowTest& t) { t.Click("CustomRB"); }, true, true,
       "<FONT FACE=\"Arial\">Link Here</FONT>", "FONT FACE=\"Arial\""},
      {"tag typed", [](PrefsWindowTest& t) { t.Type("EmphasizedEB", QStringLiteral("B")); }, true,
       true, "<B>Link Here</FONT>", "B"},
      {"larger text", [](PrefsWindowTest& t) { t.Click("LargerTextRB"); }, true, false,
       "<B>Link Here</FONT>", "FONT SIZE=+1"},
      {"custom again", [](PrefsWindowTest& t) { t.Click("CustomRB"); }, true, true,
       "<B>Link Here</FONT>", "B"},
      {"emphasis off", [](PrefsWindowTest& t) { t.Click("CheckBox2"); }, false, false,
       "<B>Link Here</FONT>", "B"},
  };
  Create(Edition::kNavigator);
  Show([&] {
    auto* sample = Find<QLabel>("Panel2");
    const QColor grey = QApplication::palette().color(QPalette::Disabled, QPalette::Text);
    for (const auto& s : steps) {
      SCOPED_TRACE(s.step);
      s.act(*this);
      for (const char* choice : {"BoldRB", "ItalicizedRB", "LargerTextRB", "CustomRB"}) {
        EXPECT_EQ(Find<QRadioButton>(choice)->isEnabled(), s.choices) << choice;
      }
      EXPECT_EQ(Find<QLineEdit>("EmphasizedEB")->isEnabled(), s.tag_fields);
      EXPECT_EQ(Find<QLineEdit>("DeEmphasizedEB")->isEnabled(), s.tag_fields);
      EXPECT_EQ(sample->textFormat(), Qt::PlainText);
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
    int pages;
    const char* opens_on;
  } cases[] = {
      {Edition::kNavigator, dir_.File("gone/FAT.DB"), 2, "BrowserTab"},
      {Edition::kNavigator, index, 2, "ExportTab"},
      {Edition::kInternetExplorer, "", 1, "ExportTab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored_path);
    store_.WriteSettingText(kBrowserOptions, kFatPath, c.stored_path);
    Create(c.edition);
    Show([&] {
      auto* pages = Find<QTabWidget>("ExportPageControl");
      EXPECT_EQ(pages->count(), c.pages);
      EXPECT_EQ(pages->currentWidget()->objectName(), QString::fromLatin1(c.opens_on));
      auto* path = window_->findChild<QLineEdit*>(QStringLiteral("FATEdit"));
      EXPECT_EQ(path != nullptr, c.edition == Edition::kNavigator);
      if (path == nullptr) {
        Click("CancelBtn");
        return;
      }
      EXPECT_EQ(pages->tabText(1), QStringLiteral("Browser"));
      EXPECT_EQ(path->text().toStdString(), c.stored_path);
      EXPECT_EQ(Find<QLabel>("FatDbVersionsLabel")->text(), QStringLiteral("In Netscape 2, 3 & 4"));
      pages->setCurrentIndex(1);
      prompter_.ChooseFile(index);
      Click("BrowseFATBtn");
      EXPECT_EQ(path->text().toStdString(), index);
      EXPECT_TRUE(Find<QPushButton>("ApplyBtn")->isEnabled());
      Click("OKBtn");
    });
    if (c.edition == Edition::kNavigator) {
      EXPECT_EQ(settings_.cache_index_path, index);
    }
  }
}

// Writes the dialog's pictures into the folder WEBHOARD_SCREENSHOTS names.
using Screenshots = PrefsWindowTest;

TEST_F(Screenshots, Properties) {
  const char* folder = std::getenv("WEBHOARD_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "WEBHOARD_SCREENSHOTS names no folder";
  const std::string out = folder;
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
    Create(shot.edition);
    Show([&] {
      Find<QTabWidget>("ExportPageControl")->setCurrentIndex(shot.page);
      EXPECT_TRUE(window_->grab().save(QString::fromStdString(out + "/" + shot.file)));
      Click("CancelBtn");
    });
  }
}

}  // namespace
}  // namespace webhoard::gui
