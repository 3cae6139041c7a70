#include "forms/selection_form.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "support/explorer_items.h"
#include "support/scripted_prompter.h"

namespace webhoard {
namespace {

using testing::AddItem;

constexpr double kNow = 45000.5;

// The dialog opened the way the main window opens it, over a fixed cache.
class SelectionForm : public ::testing::Test {
 protected:
  void Open(Edition edition = Edition::kNavigator) {
    form_ = std::make_unique<TSelectionForm>(edition, prompter_, items_);
    form_->set_cache_reader([this](TCacheItemList& items) {
      for (auto& item : cache_) items.push_back(std::make_unique<TCacheItem>(*item));
      return !cache_.empty();
    });
    items_.clear();
    form_->load_pending = true;
    form_->FormShow();
    form_->FormPaint();
  }
  void Select(ListBox& list, const std::string& name) {
    for (std::size_t i = 0; i < list.items.size(); ++i) {
      if (list.items[i] == name) list.selected[i] = true;
    }
  }
  CategoryCounts Counters() const { return form_->shown_counts(); }

  ScopedFixedClock clock_{kNow};
  testing::ScriptedPrompter prompter_;
  TCacheItemList cache_;  // what the reader finds
  TCacheItemList items_;  // the application's cache item list
  std::unique_ptr<TSelectionForm> form_;
};

TEST_F(SelectionForm, AfterLoadingEveryDomainIsToArchive) {
  AddItem(cache_, "b.com", kCategoryText, kNow - 1);
  AddItem(cache_, "a.com", kCategoryMedia, kNow - 1);
  AddItem(cache_, "c.com", kCategoryOther, kNow - 30);
  Open();
  EXPECT_EQ(items_.size(), 3u);
  EXPECT_TRUE(form_->SrcList.items.empty());
  EXPECT_EQ(form_->DstList.items, (std::vector<std::string>{"a.com", "b.com", "c.com"}));
  EXPECT_FALSE(form_->IncludeBtn.enabled);
  EXPECT_FALSE(form_->IncAllBtn.enabled);
  EXPECT_TRUE(form_->ExcludeBtn.enabled);
  EXPECT_TRUE(form_->ExAllBtn.enabled);
  EXPECT_EQ(Counters(), (CategoryCounts{1, 1, 1}));
  EXPECT_TRUE(form_->OthersBox.checked);
  EXPECT_FALSE(form_->FatPanel.visible);
  EXPECT_TRUE(form_->BackPanelEnabled);
  EXPECT_FALSE(form_->load_pending);
  EXPECT_FALSE(form_->FormPaint());  // a repaint reads nothing again
}

TEST_F(SelectionForm, RepaintsWhileTheNoticeComesUpDoNotReadAgain) {
  AddItem(cache_, "a.com", kCategoryText, kNow - 1);
  int reads = 0;
  prompter_.OnPendingMessages([&] {
    if (form_) form_->FormPaint();
  });
  form_ = std::make_unique<TSelectionForm>(Edition::kNavigator, prompter_, items_);
  form_->set_cache_reader([&](TCacheItemList& items) {
    ++reads;
    items.push_back(std::make_unique<TCacheItem>(*cache_[0]));
    return true;
  });
  form_->load_pending = true;
  form_->FormPaint();
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(items_.size(), 1u);
  EXPECT_EQ(form_->DstList.items, std::vector<std::string>{"a.com"});
}

TEST_F(SelectionForm, AnEmptyCacheShowsNothing) {
  Open(Edition::kInternetExplorer);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "No files found.");
  EXPECT_FALSE(form_->closed());
  EXPECT_TRUE(form_->DstList.items.empty());
  EXPECT_FALSE(form_->ExcludeBtn.enabled);
  EXPECT_FALSE(form_->IncludeBtn.enabled);
  EXPECT_EQ(form_->UncacheButtonClick(), nullptr);
  EXPECT_EQ(prompter_.messages().back().text, "No files to archive.");
  EXPECT_EQ(prompter_.messages().back().help_context, 11);

  Open(Edition::kNavigator);  // the Navigator reader has told the user already
  EXPECT_TRUE(form_->closed());
  EXPECT_EQ(prompter_.messages().size(), 2u);
}

TEST_F(SelectionForm, MovingDomainsSelectsTheNextEntryAndRecounts) {
  AddItem(cache_, "a.com", kCategoryText, kNow - 0.1);
  AddItem(cache_, "b.com", kCategoryText, kNow - 0.1);
  AddItem(cache_, "c.com", kCategoryMedia, kNow - 0.1);
  Open();
  Select(form_->DstList, "c.com");  // the last entry
  form_->ExcludeBtnClick();
  EXPECT_EQ(form_->SrcList.items, (std::vector<std::string>{"c.com"}));
  EXPECT_EQ(form_->DstList.selected, (std::vector<bool>{false, true}));  // the new last
  EXPECT_EQ(Counters(), (CategoryCounts{2, 0, 0}));
  EXPECT_TRUE(form_->IncludeBtn.enabled);

  form_->ExcAllBtnClick();
  EXPECT_TRUE(form_->DstList.items.empty());
  EXPECT_TRUE(form_->DstList.selected.empty());
  EXPECT_FALSE(form_->ExcludeBtn.enabled);
  EXPECT_FALSE(form_->ExAllBtn.enabled);
  EXPECT_EQ(Counters(), CategoryCounts{});
  EXPECT_EQ(form_->SrcList.items, (std::vector<std::string>{"a.com", "b.com", "c.com"}));

  Select(form_->SrcList, "b.com");
  form_->IncludeBtnClick();
  EXPECT_EQ(form_->DstList.items, (std::vector<std::string>{"b.com"}));
  EXPECT_EQ(form_->SrcList.selected, (std::vector<bool>{false, true}));
  EXPECT_EQ(Counters(), (CategoryCounts{1, 0, 0}));

  // A new age filter puts every domain back into "Archive/Delete".
  form_->OldNewBox.item_index = static_cast<int>(AgeMode::kNewerThan);
  form_->OldNewBoxChange();
  EXPECT_TRUE(form_->SrcList.items.empty());
  EXPECT_EQ(form_->DstList.items.size(), 3u);
  EXPECT_TRUE(form_->AgeBox.enabled);
}

TEST_F(SelectionForm, AgeFilterAndCategoryBoxes) {
  AddItem(cache_, "new.com", kCategoryText, kNow - 0.1);
  AddItem(cache_, "old.com", kCategoryOther, kNow - 20);
  Open();
  form_->OldNewBox.item_index = static_cast<int>(AgeMode::kNewerThan);
  form_->OldNewBoxChange();  // newer than 6 hours
  EXPECT_EQ(form_->age_window().lower, kNow - 0.25);
  EXPECT_EQ(form_->DstList.items, (std::vector<std::string>{"new.com"}));

  form_->OldNewBox.item_index = static_cast<int>(AgeMode::kOlderThan);
  form_->HDWBox.item_index = static_cast<int>(AgeUnit::kWeeks);
  form_->HDWBoxChange();
  EXPECT_EQ(form_->AgeBox.Text(), "1");
  EXPECT_EQ(form_->age_window().upper, kNow - 7);
  EXPECT_EQ(form_->DstList.items, (std::vector<std::string>{"old.com"}));

  form_->ApplyAgeFilter(AgeMode::kOlderThan, 10, AgeUnit::kDays);  // not offered in the list
  EXPECT_EQ(form_->age_window().upper, kNow - 10);
  EXPECT_EQ(form_->AgeBox.item_index, -1);

  form_->ApplyAgeFilter(AgeMode::kAllAges, 0, AgeUnit::kHours);
  EXPECT_FALSE(form_->AgeBox.enabled);
  // Unchecking greys the counter but keeps its value and the domain.
  form_->OthersBox.checked = false;
  form_->OthersBoxClick();
  EXPECT_TRUE(form_->NumOtherPanel.greyed);
  EXPECT_EQ(form_->NumOtherPanel.value, 1u);
  EXPECT_EQ(form_->DstList.items.size(), 2u);
  EXPECT_EQ(form_->Chooser().ChosenItems(items_).size(), 1u);
}

TEST_F(SelectionForm, ArchiveHandsTheChosenItemsToTheRun) {
  AddItem(cache_, "a.com", kCategoryText, kNow - 1);
  AddItem(cache_, "b.com", kCategoryText, kNow - 1);
  Open();
  form_->set_archive_run({}, nullptr);  // no host: nothing can run
  EXPECT_EQ(form_->UncacheButtonClick(), nullptr);
  EXPECT_TRUE(prompter_.messages().empty());
  EXPECT_TRUE(form_->BackPanelEnabled);
}

TEST_F(SelectionForm, HelpAndPropertiesButtons) {
  Open();
  form_->PrefsBtnClick();  // nothing set: nothing to show, no error
  int shown = 0;
  form_->set_show_properties([&] { ++shown; });
  form_->PrefsBtnClick();
  EXPECT_EQ(shown, 1);
  int topic = 0;
  form_->set_help([&](int context) { return topic = context, false; });
  form_->HelpButtonClick();
  EXPECT_EQ(topic, 5);
  ASSERT_FALSE(prompter_.messages().empty());
  EXPECT_EQ(prompter_.messages().back().text, "Help file not found");
}

}  // namespace
}  // namespace webhoard
