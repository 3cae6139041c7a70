// The Cache Explorer window over the bundled sample caches, one click path
// per edition: open, filter, move domains, read the counters, archive (once
// cancelled, once to the end) and find nothing to archive.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "archive/archive_info_file.h"
#include "common/clock.h"
#include "common/file_util.h"
#include "gui/explorer_window.h"
#include "gui/gui_test_support.h"  // tests/gui
#include "gui/help_system.h"
#include "gui/qt_prompter.h"
#include "platform/program_data_folder.h"
#include "settings/settings_steps.h"
#include "support/fake_opener.h"
#include "support/memory_registry.h"
#include "support/temp_dir.h"

namespace webhoard::gui {
namespace {

using webhoard::testing::SeenMessage;

const std::string kSamples = std::string(WEBHOARD_SOURCE_DIR) + "/samples";
constexpr char kMuseum[] = "museum.millbrook.example";

// Runs `step` on every pass of the event loop until it answers true (or ten
// seconds passed): it sees the progress window between two items.
void OnEveryPass(std::function<bool()> step) {
  auto* timer = new QTimer(qApp);
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, step = std::move(step)] {
    if (!step() && clock->elapsed() < 10000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
  });
  timer->start(0);
}

// Answers the next message box, even one that comes up over the progress
// window.
void AnswerMessage(QMessageBox::StandardButton button, SeenMessage* seen) {
  OnEveryPass([button, seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return false;
    seen->text = box->text().toStdString();
    box->button(button)->click();
    return true;
  });
}

class ExplorerWindowPath : public ::testing::TestWithParam<Edition> {
 protected:
  ExplorerWindowPath() {
    std::filesystem::create_directories(dir_.File("home"));
    std::filesystem::copy(std::string(WEBHOARD_SOURCE_DIR) + "/images", dir_.File("home/images"));
    ::setenv("WEBHOARD_HOME", dir_.File("home").c_str(), 1);
    ResetProgramDataFolderForTesting();
    std::filesystem::create_directories(archive_);
    settings_.current_archive_folder = archive_ + "/";
    if (GetParam() == Edition::kNavigator) {
      settings_.cache_index_path = kSamples + "/netscape/FAT.DB";
    } else {
      WriteInternetExplorerCacheFolder(store_, kSamples + "/ie/Content.IE5");
    }
    window_ = std::make_unique<ExplorerWindow>(form_, GetParam(), store_, settings_, prompter_,
                                               nullptr);
  }
  ~ExplorerWindowPath() override {
    window_.reset();
    ::unsetenv("WEBHOARD_HOME");
    ResetProgramDataFolderForTesting();
  }

  template <class Widget>
  Widget* Find(const char* name) const {
    return window_->findChild<Widget*>(QString::fromLatin1(name));
  }
  QStringList Shown(const char* list_name) const {
    QStringList out;
    const QAbstractItemModel* rows = Find<QListView>(list_name)->model();
    for (int i = 0; i < rows->rowCount(); ++i) out.append(rows->index(i, 0).data().toString());
    return out;
  }
  std::uint64_t Counter(const char* name) const {
    return Find<QLineEdit>(name)->text().toULongLong();
  }
  std::uint64_t CounterSum() const {
    return Counter("NumTextPanel") + Counter("NumMediaPanel") + Counter("NumOtherPanel");
  }
  void Choose(const char* box_name, const char* text) {
    auto* box = Find<QComboBox>(box_name);
    const int index = box->findText(QString::fromLatin1(text));
    ASSERT_GE(index, 0) << text;
    box->setCurrentIndex(index);
    emit box->activated(index);
  }
  static int Rows(const QListView* list) { return list->model()->rowCount(); }
  QPoint Row(QListView* list, const char* name) const {
    const QModelIndexList found = list->model()->match(
        list->model()->index(0, 0), Qt::DisplayRole, QString::fromLatin1(name), 1,
        Qt::MatchExactly);
    return found.isEmpty() ? QPoint(-1, -1) : list->visualRect(found.front()).center();
  }
  std::size_t Archived() const {
    TakenNames taken;
    return LoadArchiveList(archive_ + "/", taken).size();
  }
  // The domains with an item dated before `upper`, from the items themselves.
  std::set<std::string> DomainsBefore(double upper) const {
    std::set<std::string> domains;
    for (const auto& item : items_) {
      if (item->Date < upper) domains.insert(item->Domain);
    }
    return domains;
  }

  // Runs `action` once the window has loaded the cache, from the window's
  // own event loop (not from inside the load); closes the window when the
  // load does not end.
  void WhenLoaded(std::function<void()> action) {
    auto* clock = new QElapsedTimer;
    clock->start();
    OnEveryPass([this, clock, action = std::move(action)] {
      const bool loaded = !form_.load_pending && form_.BackPanelEnabled &&
                          Rows(Find<QListView>("DstList")) > 0;
      if (!loaded && clock->elapsed() < 9000) return false;
      delete clock;
      if (loaded) {
        action();
      } else {
        ADD_FAILURE() << "the cache was not loaded";
      }
      QTest::keyClick(window_.get(), Qt::Key_Escape);
      return true;
    });
  }

  void ClickPath();
  void ArchiveCancelledBetweenItems();
  void ArchiveToTheEnd();

  testing::TempDir dir_;
  const std::string archive_ = dir_.File("archive");
  testing::FakeOpener opener_{"exit 0"};
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  InMemorySettings settings_;
  QtPrompter prompter_;
  TCacheItemList items_;
  TSelectionForm form_{GetParam(), prompter_, items_};
  std::unique_ptr<ExplorerWindow> window_;
};

void ExplorerWindowPath::ClickPath() {
  auto* src = Find<QListView>("SrcList");
  auto* dst = Find<QListView>("DstList");
  EXPECT_FALSE(Find<QLabel>("FatPanel")->isVisible());
  EXPECT_TRUE(Find<QPushButton>("UncacheButton")->isDefault());
  // Close has a topic of its own in the Internet Explorer edition only.
  EXPECT_EQ(HelpContextOf(Find<QPushButton>("CancelButton")),
            GetParam() == Edition::kInternetExplorer ? 15 : 5);
  EXPECT_EQ(Rows(dst), 3);
  EXPECT_TRUE(Rows(src) == 0 && !Find<QToolButton>("IncludeBtn")->isEnabled());
  EXPECT_EQ(Counter("NumTextPanel"), 8u);
  EXPECT_EQ(Counter("NumMediaPanel"), 5u);
  EXPECT_EQ(Counter("NumOtherPanel"), 1u);

  // Older than a week: exactly the domains with an item from before then.
  Choose("OldNewBox", "Older than");
  Choose("HDWBox", "Week(s)");
  const double upper = Now() - 7;
  std::set<std::string> shown;
  for (const QString& name : Shown("DstList")) shown.insert(name.toStdString());
  EXPECT_EQ(shown, DomainsBefore(upper));
  EXPECT_TRUE(Find<QComboBox>("AgeBox")->isEnabled());
  Choose("OldNewBox", "All ages");
  EXPECT_FALSE(Find<QComboBox>("AgeBox")->isEnabled());
  ASSERT_EQ(Rows(dst), 3);

  // One domain over with "<" and back with a double click.
  QTest::mouseClick(dst->viewport(), Qt::LeftButton, {}, Row(dst, kMuseum));
  QTest::mouseClick(Find<QToolButton>("ExcludeBtn"), Qt::LeftButton);
  EXPECT_EQ(Shown("SrcList"), QStringList{kMuseum});
  EXPECT_EQ(Rows(dst), 2);
  EXPECT_EQ(CounterSum(), 14u - 3u);
  EXPECT_TRUE(Find<QToolButton>("IncludeBtn")->isEnabled());
  QTest::mouseClick(src->viewport(), Qt::LeftButton, {}, Row(src, kMuseum));
  QTest::mouseDClick(src->viewport(), Qt::LeftButton, {}, Row(src, kMuseum));
  EXPECT_EQ(Rows(src), 0);
  EXPECT_EQ(CounterSum(), 14u);
  EXPECT_FALSE(Find<QToolButton>("IncAllBtn")->isEnabled());

  // An unchecked category greys its counter and keeps its value.
  QTest::mouseClick(Find<QCheckBox>("OthersBox"), Qt::LeftButton);
  EXPECT_EQ(Find<QLineEdit>("NumOtherPanel")->palette().color(QPalette::Text),
            QColor(128, 128, 128));
  EXPECT_EQ(Counter("NumOtherPanel"), 1u);
  QTest::mouseClick(Find<QCheckBox>("OthersBox"), Qt::LeftButton);

  ArchiveCancelledBetweenItems();
  ArchiveToTheEnd();

  // Everything back to "Available Domains": nothing to archive.
  QTest::mouseClick(Find<QToolButton>("ExAllBtn"), Qt::LeftButton);
  EXPECT_EQ(CounterSum(), 0u);
  SeenMessage nothing;
  AnswerMessage(QMessageBox::Ok, &nothing);
  QTest::mouseClick(Find<QPushButton>("UncacheButton"), Qt::LeftButton);
  EXPECT_EQ(nothing.text, "No files to archive.");
}

void ExplorerWindowPath::ArchiveCancelledBetweenItems() {
  // Cancel once the copying is under way: the item in hand is finished, no
  // further one.
  bool cancelled = false;
  OnEveryPass([&cancelled] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal->objectName() != QStringLiteral("TExportForm")) return false;
    if (modal->findChild<QLabel*>(QStringLiteral("Label4"))->text() !=
            QStringLiteral("Archiving files...") ||
        modal->findChild<QProgressBar*>(QStringLiteral("Gauge1"))->value() == 0) {
      return false;
    }
    modal->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    return cancelled = true;
  });
  QTest::mouseClick(Find<QPushButton>("UncacheButton"), Qt::LeftButton);
  EXPECT_TRUE(cancelled);
  const std::size_t archived = Archived();
  EXPECT_GE(archived, 1u);
  EXPECT_LT(archived, 14u);
}

void ExplorerWindowPath::ArchiveToTheEnd() {
  SeenMessage done;
  AnswerMessage(QMessageBox::No, &done);
  QTest::mouseClick(Find<QPushButton>("UncacheButton"), Qt::LeftButton);
  EXPECT_EQ(done.text.rfind("Archiving completed.", 0), 0u) << done.text;
  EXPECT_EQ(Archived(), 14u);
  EXPECT_TRUE(FileExists(archive_ + "/1st_page.htm"));
  EXPECT_FALSE(opener_.RecordedArguments());  // "No": no browser
  EXPECT_TRUE(Find<QWidget>("BackPanel")->isEnabled());
  EXPECT_EQ(Rows(Find<QListView>("DstList")), 3);
}

TEST_P(ExplorerWindowPath, OpenFilterMoveAndArchive) {
  WhenLoaded([this] { ClickPath(); });
  form_.load_pending = true;
  EXPECT_EQ(window_->ShowModal(), kModalCancel);
  EXPECT_EQ(items_.size(), 14u);
}

// The windows as the user sees them, written to the folder named by
// WEBHOARD_SCREENSHOTS (skipped without it).
using ExplorerScreenshots = ExplorerWindowPath;

TEST_P(ExplorerScreenshots, CacheExplorerAndArchiving) {
  const char* folder = std::getenv("WEBHOARD_SCREENSHOTS");
  if (folder == nullptr) GTEST_SKIP() << "WEBHOARD_SCREENSHOTS names no folder";
  const std::string edition = GetParam() == Edition::kNavigator ? "nav" : "ie";
  WhenLoaded([&] {
    QTest::mouseClick(Find<QListView>("DstList")->viewport(), Qt::LeftButton, {},
                      Row(Find<QListView>("DstList"), kMuseum));
    QTest::mouseClick(Find<QToolButton>("ExcludeBtn"), Qt::LeftButton);
    window_->grab().save(QString::fromStdString(std::string(folder) + "/" + edition +
                                                "-cache-explorer.png"));
    if (GetParam() == Edition::kNavigator) {
      OnEveryPass([&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal->objectName() != QStringLiteral("TExportForm")) return false;
        if (modal->findChild<QProgressBar*>(QStringLiteral("Gauge1"))->value() < 50 ||
            modal->findChild<QLabel*>(QStringLiteral("Label4"))->text() !=
                QStringLiteral("Archiving files...")) {
          return false;
        }
        modal->grab().save(QString::fromStdString(std::string(folder) + "/nav-archiving.png"));
        return true;
      });
      SeenMessage done;
      AnswerMessage(QMessageBox::No, &done);
      QTest::mouseClick(Find<QPushButton>("UncacheButton"), Qt::LeftButton);
    }
  });
  form_.load_pending = true;
  window_->ShowModal();
}

std::string EditionName(const ::testing::TestParamInfo<Edition>& info) {
  return info.param == Edition::kNavigator ? "Navigator" : "InternetExplorer";
}
INSTANTIATE_TEST_SUITE_P(Editions, ExplorerWindowPath,
                         ::testing::Values(Edition::kNavigator, Edition::kInternetExplorer),
                         EditionName);
INSTANTIATE_TEST_SUITE_P(Editions, ExplorerScreenshots,
                         ::testing::Values(Edition::kNavigator, Edition::kInternetExplorer),
                         EditionName);

}  // namespace
}  // namespace webhoard::gui
