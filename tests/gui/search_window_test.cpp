// The search window driven through its widgets over an archive made from the
// bundled sample cache.
#include "gui/search_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "gui/gui_test_support.h"  // tests/gui
#include "gui/help_system.h"
#include "gui/qt_prompter.h"
#include "gui/sample_archive.h"  // tests/gui
#include "settings/setting_names.h"
#include "support/fake_opener.h"
#include "support/memory_registry.h"

namespace webhoard::gui {
namespace {

using webhoard::testing::WhenModalShown;

constexpr char kHikers[] = "http://www.ridgeline-hikers.example";

// Replaces an edit's text by typing, as the user would.
void TypeInto(QLineEdit* edit, const std::string& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, QString::fromStdString(text));
}

// Clicks `button` and answers OK to the message box it shows, if it shows one
// while the click is handled; answers the box's text ("" for none).
std::string ClickAnsweringOk(QPushButton* button) {
  auto text = std::make_shared<std::string>();
  auto waiting = std::make_shared<bool>(true);
  WhenModalShown([text, waiting](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!*waiting || box == nullptr) return;
    *text = box->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(button, Qt::LeftButton);
  *waiting = false;  // a box that comes later is another click's
  return *text;
}

class SearchWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(archive_.folder().empty());
    store_.WriteSettingText(kSearchOptions, kSearchDirectory, archive_.folder());
    form_.FormCreate();
    window_.show();
  }
  template <class Widget>
  Widget* Child(const char* name) {
    auto* widget = window_.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  // Types the texts and presses Find; answers the message shown, if any.
  std::string Find(const std::string& url, const std::string& page, const std::string& folder) {
    TypeInto(Child<QLineEdit>("URLEdit"), url);
    TypeInto(Child<QLineEdit>("HTMLEdit"), page);
    TypeInto(Child<QLineEdit>("DirEdit"), folder);
    return ClickAnsweringOk(Child<QPushButton>("FindButton"));
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    auto* view = Child<QTreeWidget>("ResultView");
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
      rows.push_back(view->topLevelItem(i)->text(0).toStdString());
    }
    return rows;
  }

  testing::SampleArchive archive_;
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  QtPrompter prompter_;
  TSearchFrm form_{prompter_, store_};
  SearchWindow window_{form_, nullptr};
};

TEST_F(SearchWindowTest, FindsByAddressAndPageTextAndRefusesWhatCannotBeSearched) {
  EXPECT_EQ(window_.windowTitle(), QStringLiteral("Webhoard - Search Archive"));
  EXPECT_EQ(HelpContextOf(&window_), 39);
  EXPECT_EQ(window_.minimumWidth(), 580 * window_.logicalDpiX() / 120);
  EXPECT_EQ(Child<QLineEdit>("DirEdit")->text().toStdString(), archive_.folder());

  const std::string folder = archive_.folder();
  const std::string missing = archive_.dir.File("missing");
  const std::string no_catalogue = archive_.dir.path();
  struct Case {
    std::string url, page, folder;
    std::string message;
    std::vector<std::string> rows;
  } cases[] = {
      {"PHOTOS/summit", "", folder, "", {std::string(kHikers) + "/photos/summit.html",
                                         std::string(kHikers) + "/photos/summit.jpg"}},
      {"", "every saturday", folder, "", {std::string(kHikers) + "/"}},
      {"kitchen", "every saturday", folder, "No files found.", {}},
      {"", "", folder, "Enter some search text.", {}},
      {"a", "", missing, "Couldn't find folder\n\n" + missing, {}},
      {"a", "", no_catalogue,
       "Couldn't find an archive info file\n(archive.dat) in this folder.", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.url, c.page, c.folder), c.message) << c.url << "|" << c.page;
    std::vector<std::string> rows = Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, c.rows) << c.url << "|" << c.page;
  }
  EXPECT_EQ(store_.ReadSettingText(kSearchOptions, kSearchDirectory, ""), folder);
}

TEST_F(SearchWindowTest, SortsByAddressAndOpensTheChosenHit) {
  ASSERT_EQ(Find("example", "", archive_.folder()), "");
  auto* view = Child<QTreeWidget>("ResultView");
  ASSERT_GT(view->topLevelItemCount(), 3);
  EXPECT_EQ(view->topLevelItem(0)->icon(0).isNull(), false);

  // Either header sorts by the address.
  view->header()->sectionClicked(1);
  const std::vector<std::string> rows = Rows();
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));

  // Enter on the list and a double click open the hit, and Enter does not
  // press Find.
  QTreeWidgetItem* hit = view->topLevelItem(1);
  const QPoint where = view->visualItemRect(hit).center();
  for (const bool double_click : {false, true}) {
    testing::FakeOpener opener("exit 0");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
    if (double_click) {
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
    } else {
      QTest::keyClick(view, Qt::Key_Return);
    }
    EXPECT_EQ(opener.RecordedArguments().value_or(""),
              "1\n" + hit->text(1).toStdString() + "\n");
    EXPECT_EQ(Rows(), rows);
  }
}

}  // namespace
}  // namespace webhoard::gui
