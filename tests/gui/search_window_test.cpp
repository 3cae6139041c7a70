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

// Types the three texts and presses Find, answering OK to the box the search
// shows while the click is handled; answers the box's text ("" for none).
std::string Find(QWidget& window, const std::string& url, const std::string& page,
                 const std::string& folder) {
  const std::pair<const char*, const std::string*> fields[] = {
      {"URLEdit", &url}, {"HTMLEdit", &page}, {"DirEdit", &folder}};
  for (const auto& [name, text] : fields) {
    auto* edit = window.findChild<QLineEdit*>(name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, QString::fromStdString(*text));
  }
  auto said = std::make_shared<std::string>();
  auto waiting = std::make_shared<bool>(true);
  testing::WhenModalShown([said, waiting](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!*waiting || box == nullptr) return;
    *said = box->text().toStdString();
    box->button(QMessageBox::Ok)->click();
  });
  QTest::mouseClick(window.findChild<QPushButton*>("FindButton"), Qt::LeftButton);
  *waiting = false;  // a box that comes later is another click's
  return *said;
}

std::vector<std::string> Rows(const QTreeWidget& view) {
  std::vector<std::string> rows;
  for (int i = 0; i < view.topLevelItemCount(); ++i) {
    rows.push_back(view.topLevelItem(i)->text(0).toStdString());
  }
  return rows;
}

TEST(SearchWindow, FindsSortsOpensAndRefusesWhatCannotBeSearched) {
  testing::SampleArchive archive;
  const std::string folder = archive.folder();
  ASSERT_FALSE(folder.empty());
  testing::MemoryRegistry registry;
  SettingsStore store(registry);
  store.WriteSettingText(kSearchOptions, kSearchDirectory, folder);
  QtPrompter prompter;
  TSearchFrm form(prompter, store);
  form.FormCreate();
  SearchWindow window(form, nullptr);
  window.show();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Webhoard - Search Archive"));
  EXPECT_EQ(HelpContextOf(&window), 39);
  EXPECT_EQ(window.minimumWidth(), 580 * window.logicalDpiX() / 120);
  auto* view = window.findChild<QTreeWidget*>("ResultView");

  const std::string hikers = "http://www.ridgeline-hikers.example/";
  const std::string missing = archive.dir.File("missing");
  struct Case {
    std::string url, page, folder, message;
    std::vector<std::string> rows;
  } cases[] = {
      {"PHOTOS/summit",
       "",
       folder,
       "",
       {hikers + "photos/summit.html", hikers + "photos/summit.jpg"}},
      {"", "every saturday", folder, "", {hikers}},
      {"kitchen", "every saturday", folder, "No files found.", {}},
      {"", "", folder, "Enter some search text.", {}},
      {"a", "", missing, "Couldn't find folder\n\n" + missing, {}},
      {"a",
       "",
       archive.dir.path(),
       "Couldn't find an archive info file\n(archive.dat) in this folder.",
       {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(window, c.url, c.page, c.folder), c.message) << c.url << "|" << c.page;
    std::vector<std::string> rows = Rows(*view);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, c.rows) << c.url << "|" << c.page;
  }
  EXPECT_EQ(store.ReadSettingText(kSearchOptions, kSearchDirectory, ""), folder);

  // Either header sorts by the address; the icons tell the kinds apart.
  ASSERT_EQ(Find(window, "example", "", folder), "");
  ASSERT_GT(view->topLevelItemCount(), 3);
  view->header()->sectionClicked(1);
  const std::vector<std::string> sorted = Rows(*view);
  EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
  EXPECT_FALSE(view->topLevelItem(0)->icon(0).isNull());

  // Enter on the list and a double click open the chosen hit; Enter does not
  // press Find.
  const QPoint where = view->visualItemRect(view->topLevelItem(1)).center();
  const std::string chosen = view->topLevelItem(1)->text(1).toStdString();
  for (const bool double_click : {false, true}) {
    testing::FakeOpener opener("exit 0");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, where);
    if (double_click) {
      QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, where);
    } else {
      QTest::keyClick(view, Qt::Key_Return);
    }
    EXPECT_EQ(opener.RecordedArguments().value_or(""), "1\n" + chosen + "\n");
    EXPECT_EQ(Rows(*view), sorted);
  }
}

}  // namespace
}  // namespace webhoard::gui
