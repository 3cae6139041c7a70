// The Cache Explorer's Delete command over a real Navigator cache folder:
// the dialog opened over files, then its Delete button.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "common/clock.h"
#include "common/file_util.h"
#include "explorer/cache_deletion.h"
#include "forms/selection_form.h"
#include "support/explorer_items.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::AddItem;

constexpr double kNow = 45000.5;

class NavigatorDelete : public ::testing::Test {
 protected:
  void SetUp() override {
    index_ = dir_.Write("cache/FAT.DB", std::string(4096, 'i'));
    remover_ = std::make_unique<NavigatorCacheRemover>(dir_.File("cache"));
  }
  TCacheItem& Cached(const std::string& domain, std::int32_t category, double date) {
    const std::string name = "cache/" + std::to_string(items_.size()) + ".moz";
    return AddItem(items_, domain, category, date, dir_.Write(name, "data"));
  }
  void OpenDialog() {
    form_ = std::make_unique<TSelectionForm>(Edition::kNavigator, prompter_, items_);
    form_->set_cache_remover(remover_.get());
    form_->set_cache_reader([](TCacheItemList&) { return true; });
    form_->load_pending = true;
    form_->FormShow();
    form_->FormPaint();
  }

  ScopedFixedClock clock_{kNow};
  testing::TempDir dir_;
  testing::ScriptedPrompter prompter_;
  TCacheItemList items_;
  std::string index_;
  std::unique_ptr<NavigatorCacheRemover> remover_;
  std::unique_ptr<TSelectionForm> form_;
};

TEST_F(NavigatorDelete, WholeCacheRemovesEveryFileButKeepsTheIndex) {
  const std::string a = Cached("a.com", kCategoryText, kNow - 1).LocalFile;
  const std::string b = Cached("a.com", kCategoryMedia, kNow - 1).LocalFile;
  const std::string c = Cached("b.com", kCategoryOther, kNow - 1).LocalFile;
  OpenDialog();
  EXPECT_EQ(form_->DeleteButtonClick(), 3u);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kConfirmDeleteWholeCache);
  EXPECT_EQ(prompter_.messages()[0].buttons, kButtonYes | kButtonNo | kButtonCancel);
  EXPECT_FALSE(FileExists(a) || FileExists(b) || FileExists(c));
  EXPECT_EQ(ReadFileBytes(index_), std::string(4096, 'i'));
  EXPECT_TRUE(items_.empty());
  EXPECT_TRUE(form_->DstList.items.empty());
  EXPECT_EQ(form_->shown_counts(), CategoryCounts{});
  EXPECT_EQ(form_->FatPanel.caption, "Processing cache index. Please wait.");
  EXPECT_FALSE(form_->FatPanel.visible);
  EXPECT_TRUE(form_->BackPanelEnabled);

  EXPECT_EQ(form_->DeleteButtonClick(), 0u);
  EXPECT_EQ(prompter_.messages().back().text, kNoFilesToDelete);
  EXPECT_EQ(prompter_.messages().back().help_context, 11);
}

TEST_F(NavigatorDelete, OrdinaryDeleteTakesNeighboursAndDropsEmptiedDomains) {
  Cached("keep.com", kCategoryText, kNow - 1);
  const std::string first = Cached("gone.com", kCategoryText, kNow - 1).LocalFile;
  const std::string second = Cached("gone.com", kCategoryText, kNow - 1).LocalFile;
  const std::string media = Cached("gone.com", kCategoryMedia, kNow - 1).LocalFile;
  Cached("keep.com", kCategoryMedia, kNow - 1);
  OpenDialog();
  form_->DstList.selected = {false, true};  // gone.com, keep.com
  form_->ExcludeBtnClick();
  form_->MediaBox.checked = false;
  // No or Cancel change nothing.
  prompter_.Answer(MessageResult::kNo);
  prompter_.Answer(MessageResult::kCancel);
  EXPECT_EQ(form_->DeleteButtonClick(), 0u);
  EXPECT_EQ(form_->DeleteButtonClick(), 0u);
  EXPECT_EQ(items_.size(), 5u);
  EXPECT_TRUE(FileExists(first));

  EXPECT_EQ(form_->DeleteButtonClick(), 2u);
  EXPECT_EQ(prompter_.messages().back().text, kConfirmDelete);
  EXPECT_FALSE(FileExists(first) || FileExists(second));
  EXPECT_TRUE(FileExists(media));
  ASSERT_EQ(items_.size(), 3u);
  EXPECT_EQ(items_[0]->Domain, "keep.com");
  EXPECT_EQ(items_[1]->LocalFile, media);
  // Every domain left is back in "Archive/Delete".
  EXPECT_EQ(form_->DstList.items, (std::vector<std::string>{"gone.com", "keep.com"}));
  EXPECT_EQ(form_->shown_counts(), (CategoryCounts{1, 2, 0}));

  // A newer-than filter always asks the ordinary question.
  form_->ApplyAgeFilter(AgeMode::kNewerThan, 2, AgeUnit::kDays);
  form_->MediaBox.checked = true;
  EXPECT_EQ(form_->DeleteButtonClick(), 3u);
  EXPECT_EQ(prompter_.messages().back().text, kConfirmDelete);
}

TEST_F(NavigatorDelete, AnErrorStopsTheWalkAndKeepsTheRest) {
  for (int i = 0; i < 4; ++i) Cached("a.com", kCategoryText, kNow - 1);
  struct Failing : CacheRemover {
    int calls = 0;
    void Remove(const TCacheItem&) override {
      if (++calls == 2) throw std::runtime_error("cache gone");
    }
  } failing;
  OpenDialog();
  form_->set_cache_remover(&failing);
  EXPECT_THROW(form_->DeleteButtonClick(), std::runtime_error);
  EXPECT_EQ(items_.size(), 3u);  // the first is gone, the one in hand stays
  EXPECT_EQ(form_->shown_counts(), (CategoryCounts{4, 0, 0}));  // no rebuild
  EXPECT_TRUE(form_->BackPanelEnabled);
  EXPECT_FALSE(form_->FatPanel.visible);
}

}  // namespace
}  // namespace webhoard
