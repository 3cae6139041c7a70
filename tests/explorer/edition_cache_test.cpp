// The cache of an edition: which cache a source names, what a load reports,
// and which folder a Navigator deletion is kept inside.
#include "explorer/edition_cache.h"

#include <gtest/gtest.h>

#include "cache/mime_types.h"
#include "common/file_util.h"
#include "settings/settings_steps.h"
#include "support/index_dat_writer.h"
#include "support/memory_registry.h"
#include "support/navigator_index_writer.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

TEST(EditionCache, LoadsOrSaysWhyNot) {
  testing::TempDir dir;
  LoadMimeTypes(dir.File("program/"));
  dir.Write("nav/A.MOZ", "<html>a</html>");
  const std::string index = dir.Write(
      "nav/FAT",
      testing::TextIndex(
          {testing::TextIndexLine(1000000000, "A.MOZ", "http://a.com/", "text/html"),
           testing::TextIndexLine(1000000000, "GONE.MOZ", "http://a.com/gone", "text/html")}));
  testing::MemoryRegistry registry;
  SettingsStore store(registry);
  ASSERT_TRUE(WriteInternetExplorerCacheFolder(store, dir.File("stored")));

  // A container whose every entry was deleted: the URL cache opens it with
  // "no more items", which is an empty cache, not an unreadable one.
  testing::SyntheticEntry entry;
  entry.url = "http://a.com/";
  entry.file_name = "a.htm";
  dir.Write("emptied/index.dat", testing::BuildIndexDat({entry}).bytes);
  dir.Write("emptied/AAAAAAAA/a.htm", "a");
  ASSERT_TRUE(OpenUrlCache(dir.File("emptied"))->DeleteUrlCacheEntry("http://a.com/"));
  dir.Write("damaged/index.dat", "Client UrlCache MMF Ver 5.2");

  const ReadStopCheck stop_at_once = [] { return true; };
  struct Row {
    CacheSource source;
    std::string error;  // how the error begins; empty: loaded
    std::string name;
    std::uint64_t items;
    ReadStopCheck stop = {};
  };
  const Row rows[] = {
      {{Edition::kNavigator, index}, "", index, 1},
      {{Edition::kNavigator, index}, "", index, 0, stop_at_once},
      {{Edition::kInternetExplorer, dir.File("emptied")}, "", dir.File("emptied"), 0},
      {{Edition::kInternetExplorer, dir.File("damaged")},
       dir.File("damaged") + ": index.dat is damaged (" + dir.File("damaged/index.dat"),
       dir.File("damaged"),
       0},
      {{Edition::kNavigator, dir.File("none/FAT")},
       dir.File("none/FAT") + ": No such file or directory",
       dir.File("none/FAT"),
       0},
      {{Edition::kInternetExplorer, dir.File("nav")},
       dir.File("nav") + ": no index.dat in this folder",
       dir.File("nav"),
       0},
      // No folder given: the one of the settings.
      {{Edition::kInternetExplorer, ""},
       dir.File("stored") + ": no index.dat in this folder",
       dir.File("stored"),
       0},
  };
  for (const Row& row : rows) {
    testing::ScriptedPrompter prompter;
    TCacheItemList items;
    const CacheLoadReport report = LoadEditionCache(row.source, store, prompter, items, row.stop);
    EXPECT_EQ(report.error.substr(0, row.error.size()), row.error) << row.source.location;
    EXPECT_EQ(report.stopped, static_cast<bool>(row.stop)) << row.source.location;
    EXPECT_EQ(report.ok(), row.error.empty()) << row.source.location;
    EXPECT_EQ(report.name, row.name) << row.source.location;
    EXPECT_EQ(report.items, row.items) << row.source.location;
    EXPECT_EQ(items.size(), row.items) << row.source.location;
  }
}

TEST(EditionCache, NavigatorDeletesOnlyBesideItsIndex) {
  EXPECT_EQ(CacheFolderOf("/home/u/.netscape/cache/index.db"), "/home/u/.netscape/cache/");
  EXPECT_EQ(CacheFolderOf("/FAT.DB"), "/");
  EXPECT_EQ(CacheFolderOf("FAT.DB"), ".");

  testing::TempDir dir;
  const std::string inside = dir.Write("cache/A.MOZ", "a");
  const std::string outside = dir.Write("B.MOZ", "b");
  testing::MemoryRegistry registry;
  EditionCacheRemover remover({Edition::kNavigator, dir.File("cache/FAT")},
                              SettingsStore(registry));
  for (const std::string& file : {inside, outside}) {
    TCacheItem item;
    item.LocalFile = file;
    remover.Remove(item);
  }
  EXPECT_EQ(remover.refused(), 1u);
  EXPECT_EQ(remover.failed(), 0u);
  EXPECT_FALSE(FileExists(inside));
  EXPECT_TRUE(FileExists(outside));
}

}  // namespace
}  // namespace webhoard
