#include "explorer/cache_deletion.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "cache/mime_types.h"
#include "cache/msie/read_ie_cache.h"
#include "common/clock.h"
#include "common/file_util.h"
#include "platform/url_cache.h"
#include "support/explorer_items.h"
#include "support/index_dat_writer.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::AddItem;

constexpr double kNow = 45000.5;

TEST(DeleteConfirmation, WholeCacheOnlyWhenNothingIsHeldBack) {
  const CategoryChecks all{true, true, true};
  const CategoryChecks no_other{true, true, false};
  EXPECT_EQ(ChooseDeleteConfirmation({0, 0, 0}, all, true, true),
            DeleteConfirmation::kNothingToDelete);
  EXPECT_EQ(ChooseDeleteConfirmation({0, 0, 5}, no_other, true, true),
            DeleteConfirmation::kNothingToDelete);
  EXPECT_EQ(ChooseDeleteConfirmation({1, 2, 3}, all, true, true), DeleteConfirmation::kWholeCache);
  EXPECT_EQ(ChooseDeleteConfirmation({1, 2, 0}, no_other, true, true),
            DeleteConfirmation::kWholeCache);
  EXPECT_EQ(ChooseDeleteConfirmation({1, 2, 3}, no_other, true, true),
            DeleteConfirmation::kOrdinary);
  EXPECT_EQ(ChooseDeleteConfirmation({1, 2, 3}, all, false, true), DeleteConfirmation::kOrdinary);
  EXPECT_EQ(ChooseDeleteConfirmation({1, 2, 3}, all, true, false), DeleteConfirmation::kOrdinary);
  // Counts past 16 bits do not wrap to "nothing".
  EXPECT_EQ(ChooseDeleteConfirmation({65536, 0, 0}, all, true, true),
            DeleteConfirmation::kWholeCache);
}

// The Navigator remover over a real cache folder.
class NavigatorDelete : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("cache/FAT.DB", std::string(4096, 'i'));
    remover_ = std::make_unique<NavigatorCacheRemover>(dir_.File("cache"));
  }
  TCacheItem& Cached(const std::string& domain, std::int32_t category, double date) {
    const std::string name = "cache/" + std::to_string(items_.size()) + ".moz";
    return AddItem(items_, domain, category, date, dir_.Write(name, "data"));
  }

  testing::TempDir dir_;
  TCacheItemList items_;
  std::unique_ptr<NavigatorCacheRemover> remover_;
};

TEST_F(NavigatorDelete, NeverDeletesOutsideTheCacheFolder) {
  const std::string outside = dir_.Write("precious.txt", "mine");
  const std::string elsewhere = dir_.Write("elsewhere/x", "mine");
  std::filesystem::create_directory_symlink(dir_.File("elsewhere"), dir_.File("cache/link"));
  AddItem(items_, "a.com", kCategoryText, kNow - 1, outside);
  AddItem(items_, "a.com", kCategoryText, kNow - 1, dir_.File("cache/../precious.txt"));
  AddItem(items_, "a.com", kCategoryText, kNow - 1, dir_.File("cache/link/x"));
  AddItem(items_, "a.com", kCategoryText, kNow - 1, std::string("cache/a\0/../../p", 16));
  AddItem(items_, "a.com", kCategoryText, kNow - 1, "");
  const std::string inside = Cached("a.com", kCategoryText, kNow - 1).LocalFile;
  const ItemChooser chooser(AllAgesWindow(kNow), {"a.com"}, {});
  EXPECT_EQ(DeleteChosenItems(items_, chooser, *remover_), 6u);
  EXPECT_TRUE(FileExists(outside));
  EXPECT_TRUE(FileExists(elsewhere));
  EXPECT_FALSE(FileExists(inside));
  EXPECT_EQ(remover_->refused(), 5u);
  EXPECT_EQ(remover_->deleted(), 1u);

  // A remover for a folder that does not exist refuses everything.
  NavigatorCacheRemover nowhere(dir_.File("missing"));
  EXPECT_FALSE(nowhere.InsideCacheFolder(dir_.File("missing/x")));
}

// The Internet Explorer edition over a real index.dat container.
TEST(InternetExplorerDelete, RemovesChosenEntriesThroughTheUrlCache) {
  ScopedFixedClock clock(kNow);
  testing::TempDir dir;
  LoadMimeTypes(dir.File("program/"));
  auto entry = [](std::string url, std::string name, std::uint8_t folder) {
    testing::SyntheticEntry e;
    e.url = std::move(url);
    e.file_name = std::move(name);
    e.folder_index = folder;
    e.size = 4;
    e.headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
    e.last_sync_dos = 0x5A210000u | 0x0000u;
    return e;
  };
  const auto index = testing::BuildIndexDat({entry("http://a.com/1.htm", "1.htm", 0),
                                             entry("http://b.com/2.htm", "2.htm", 1),
                                             entry("http://a.com/3.htm", "3.htm", 2)});
  dir.Write("ie/index.dat", index.bytes);
  dir.Write("ie/AAAAAAAA/1.htm", "one");
  dir.Write("ie/BBBBBBBB/2.htm", "two");
  dir.Write("ie/CCCCCCCC/3.htm", "six");
  auto cache = OpenUrlCache(dir.File("ie"));
  TCacheItemList items;
  ASSERT_TRUE(ReadIECache(*cache, items));
  ASSERT_EQ(items.size(), 3u);
  for (auto& item : items) item->Date = kNow - 1;  // the test is not about dates

  UrlCacheRemover remover(*cache);
  const ItemChooser chooser(AllAgesWindow(kNow), {"A.COM"}, {});
  EXPECT_EQ(DeleteChosenItems(items, chooser, remover), 2u);
  EXPECT_EQ(remover.deleted(), 2u);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0]->Domain, "b.com");
  EXPECT_FALSE(FileExists(dir.File("ie/AAAAAAAA/1.htm")));
  EXPECT_FALSE(FileExists(dir.File("ie/CCCCCCCC/3.htm")));
  EXPECT_TRUE(FileExists(dir.File("ie/BBBBBBBB/2.htm")));

  // Read again: only b.com is left in the cache itself.
  TCacheItemList again;
  ASSERT_TRUE(ReadIECache(*OpenUrlCache(dir.File("ie")), again));
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again[0]->Domain, "b.com");
}

}  // namespace
}  // namespace webhoard
