#include "explorer/domain_table.h"

#include <gtest/gtest.h>

#include "explorer/age_window.h"
#include "explorer/item_chooser.h"
#include "support/explorer_items.h"

namespace webhoard {
namespace {

using testing::AddItem;

constexpr double kNow = 45000.5;

TEST(AgeWindow, BoundsAreExclusiveAndFollowTheFilter) {
  const AgeWindow all = AgeWindowFor(AgeMode::kAllAges, 6, AgeUnit::kHours, kNow);
  EXPECT_EQ(all.lower, 0.0);
  EXPECT_EQ(all.upper, kNow + 10000.0);
  EXPECT_FALSE(all.Contains(0.0));
  EXPECT_TRUE(all.Contains(0.000001));
  EXPECT_FALSE(all.Contains(kNow + 10000.0));

  const AgeWindow newer = AgeWindowFor(AgeMode::kNewerThan, 6, AgeUnit::kHours, kNow);
  EXPECT_EQ(newer.lower, kNow - 0.25);
  EXPECT_EQ(newer.upper, kNow + 10000.0);
  EXPECT_FALSE(newer.Contains(kNow - 0.25));
  EXPECT_TRUE(newer.Contains(kNow - 0.24));

  const AgeWindow older = AgeWindowFor(AgeMode::kOlderThan, 2, AgeUnit::kWeeks, kNow);
  EXPECT_EQ(older.lower, 0.0);
  EXPECT_EQ(older.upper, kNow - 14.0);
  EXPECT_FALSE(older.Contains(kNow - 14.0));
  EXPECT_TRUE(older.Contains(kNow - 14.5));
  EXPECT_EQ(AgeWindowFor(AgeMode::kOlderThan, 3, AgeUnit::kDays, kNow).upper, kNow - 3.0);

  EXPECT_EQ(AgeBoxItems(Edition::kNavigator, AgeUnit::kHours),
            (std::vector<std::string>{"6", "12", "18"}));
  EXPECT_EQ(AgeBoxItems(Edition::kInternetExplorer, AgeUnit::kHours),
            (std::vector<std::string>{"1", "2", "3", "6", "12", "18"}));
  EXPECT_EQ(AgeBoxItems(Edition::kInternetExplorer, AgeUnit::kWeeks).size(), 6u);
}

TEST(RebuildDomains, KeepsFirstMetOrderCountsPerCategoryAndSortsTheList) {
  TCacheItemList items;
  AddItem(items, "b.com", kCategoryText, kNow);
  AddItem(items, "A.com", kCategoryMedia, kNow);
  AddItem(items, "b.com", kCategoryOther, kNow);
  AddItem(items, "a.com", kCategoryText, kNow);   // another entry: case counts here
  AddItem(items, "c.com", 7, kNow);               // listed, counted nowhere
  AddItem(items, "old.com", kCategoryText, 0.0);  // outside the window
  AddItem(items, "b.com", kCategoryText, kNow);
  const DomainTable table = RebuildDomainTable(items, AllAgesWindow(kNow));
  ASSERT_EQ(table.entries.size(), 4u);
  EXPECT_EQ(table.entries[0].Name, "b.com");
  EXPECT_EQ(table.entries[0].TextCount, 2u);
  EXPECT_EQ(table.entries[0].OtherCount, 1u);
  EXPECT_EQ(table.entries[1].Name, "A.com");
  EXPECT_EQ(table.entries[1].MediaCount, 1u);
  EXPECT_EQ(table.entries[2].Name, "a.com");
  EXPECT_EQ(table.entries[3].Name, "c.com");
  EXPECT_EQ(table.entries[3].TextCount + table.entries[3].MediaCount + table.entries[3].OtherCount,
            0u);
  EXPECT_EQ(table.sorted_names, (std::vector<std::string>{"A.com", "a.com", "b.com", "c.com"}));

  // The lists look names up without regard to case.
  const CategoryCounts sums = SumCounts(table.entries, {"A.COM", "b.com"});
  EXPECT_EQ(sums, (CategoryCounts{3, 1, 1}));
  EXPECT_EQ(SumCounts(table.entries, {}), CategoryCounts{});
}

TEST(RebuildDomains, CountsPastSixteenBits) {
  TCacheItemList items;
  for (int i = 0; i < 70000; ++i) AddItem(items, i % 2 ? "x.com" : "y.com", kCategoryText, kNow);
  AddItem(items, "x.com", kCategoryMedia, kNow);
  const DomainTable table = RebuildDomainTable(items, AllAgesWindow(kNow));
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[0].Name, "y.com");
  EXPECT_EQ(SumCounts(table.entries, table.sorted_names), (CategoryCounts{70000, 1, 0}));
}

TEST(ChosenItem, NeedsTheWindowADomainInTheListAndACheckedCategory) {
  TCacheItemList items;
  TCacheItem& text = AddItem(items, "Site.com", kCategoryText, kNow);
  TCacheItem& media = AddItem(items, "site.com", kCategoryMedia, kNow);
  TCacheItem& other = AddItem(items, "site.com", kCategoryOther, kNow);
  TCacheItem& odd = AddItem(items, "site.com", 3, kNow);
  TCacheItem& elsewhere = AddItem(items, "other.com", kCategoryText, kNow);
  TCacheItem& at_bound = AddItem(items, "site.com", kCategoryText, kNow - 1.0);
  const AgeWindow window{kNow - 1.0, kNow + 1.0};

  const ItemChooser all(window, {"SITE.COM"}, {true, true, true});
  EXPECT_TRUE(all.Chosen(text));
  EXPECT_TRUE(all.Chosen(media));
  EXPECT_TRUE(all.Chosen(other));
  EXPECT_FALSE(all.Chosen(odd));
  EXPECT_FALSE(all.Chosen(elsewhere));
  EXPECT_FALSE(all.Chosen(at_bound));
  EXPECT_EQ(all.ChosenItems(items).size(), 3u);

  EXPECT_FALSE(ItemChooser(window, {"site.com"}, {false, true, true}).Chosen(text));
  EXPECT_FALSE(ItemChooser(window, {"site.com"}, {true, false, true}).Chosen(media));
  EXPECT_FALSE(ItemChooser(window, {"site.com"}, {true, true, false}).Chosen(other));
  EXPECT_TRUE(ItemChooser(window, {"site.com"}, {false, false, true}).Chosen(other));
  EXPECT_FALSE(ItemChooser(window, {}, {true, true, true}).Chosen(text));
}

}  // namespace
}  // namespace webhoard
