// Pictures of the search window (with hits) and the "Delete from Archive"
// dialog for docs/screenshots, written only when WEBHOARD_SCREENSHOTS names
// a folder:  WEBHOARD_SCREENSHOTS=docs/screenshots build/gui_tests
//            --gtest_filter='*Screenshots*'
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>
#include <cstdlib>

#include "gui/gui_test_support.h"  // tests/gui
#include "gui/qt_prompter.h"
#include "gui/reindex_window.h"
#include "gui/sample_archive.h"  // tests/gui
#include "gui/search_window.h"
#include "settings/setting_names.h"
#include "support/memory_registry.h"

namespace webhoard::gui {
namespace {

TEST(SearchScreenshots, SearchAndReindexWindows) {
  const char* target = std::getenv("WEBHOARD_SCREENSHOTS");
  if (target == nullptr || *target == '\0') GTEST_SKIP() << "WEBHOARD_SCREENSHOTS is not set";
  const std::string folder(target);
  testing::SampleArchive archive;
  ASSERT_FALSE(archive.folder().empty());
  testing::MemoryRegistry registry;
  SettingsStore store(registry);
  store.WriteSettingText(kSearchOptions, kSearchDirectory, archive.folder());
  store.WriteSettingText(kGeneralOptions, kReindexDirectory, archive.folder());
  QtPrompter prompter;

  TSearchFrm search(prompter, store);
  search.FormCreate();
  SearchWindow search_window(search, nullptr);
  search_window.resize(760, 400);
  search_window.show();
  QTest::keyClicks(search_window.findChild<QLineEdit*>("URLEdit"), QStringLiteral("hikers"));
  search.FindButtonClick();
  search.ResultViewSelected = 1;
  search.NotifyChanged();
  EXPECT_TRUE(search_window.grab().save(QString::fromStdString(folder + "/search.png")));

  InMemorySettings settings;
  ArchiveRunEnvironment environment;
  environment.prompter = &prompter;
  environment.settings = &settings;
  TReindexForm reindex(prompter, store, environment);
  reindex.FormCreate();
  ReindexWindow reindex_window(reindex, nullptr);
  reindex_window.show();
  EXPECT_TRUE(reindex_window.grab().save(QString::fromStdString(folder + "/reindex.png")));
}

}  // namespace
}  // namespace webhoard::gui
