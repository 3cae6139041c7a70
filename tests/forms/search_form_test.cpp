#include "forms/search_form.h"

#include <gtest/gtest.h>

#include "settings/setting_names.h"
#include "support/archive_folder.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"

namespace webhoard {
namespace {

using testing::ArchiveFolder;

class SearchForm : public ::testing::Test {
 protected:
  void SetUp() override {
    archive_.Add("http://b.com:80/two.html", 1, "two.htm", "kittens");
    archive_.Add("http://a.com:80/one.html", 1, "one.htm", "kittens");
    archive_.Add("http://c.com:80/three.html", 1, "three.htm", "dogs");
    archive_.Save();
    store_.WriteSettingText(kSearchOptions, kSearchDirectory, archive_.folder());
    form_.FormCreate();
  }
  std::string StoredFolder() const {
    return store_.ReadSettingText(kSearchOptions, kSearchDirectory, "unset");
  }

  ArchiveFolder archive_;
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
  testing::ScriptedPrompter prompter_;
  TSearchFrm form_{prompter_, store_};
};

TEST_F(SearchForm, FindListsHitsAndRemembersTheFolder) {
  EXPECT_EQ(form_.folder.DirEdit.text, archive_.folder());
  form_.folder.DirEdit.text = archive_.folder() + "/";
  form_.HTMLEdit.text = "Kittens";
  form_.FindButtonClick();
  ASSERT_EQ(form_.ResultView.size(), 2u);
  EXPECT_TRUE(prompter_.messages().empty());
  EXPECT_EQ(StoredFolder(), archive_.folder() + "/");
  EXPECT_TRUE(form_.FindButton.enabled);
  EXPECT_FALSE(form_.StopButton.enabled);
  EXPECT_FALSE(form_.FindAnimActive);

  // Either column sorts by the address.
  form_.ResultViewColumnClick();
  EXPECT_EQ(form_.ResultView[0].address, "http://a.com/one.html");
  EXPECT_EQ(form_.ResultView[1].address, "http://b.com/two.html");
}

TEST_F(SearchForm, RefusalsTellTheUserAndChangeNothing) {
  form_.FindButtonClick();  // both fields empty: the folder is not looked at
  form_.URLEdit.text = "a";
  form_.folder.DirEdit.text = "";
  form_.FindButtonClick();
  form_.folder.DirEdit.text = archive_.dir.File("none");
  form_.FindButtonClick();
  form_.folder.DirEdit.text = archive_.dir.path();  // a folder without archive.dat
  form_.FindButtonClick();
  ASSERT_EQ(prompter_.messages().size(), 4u);
  EXPECT_EQ(prompter_.messages()[0].text, kEnterSearchText);
  EXPECT_EQ(prompter_.messages()[1].text, kEnterArchiveFolder);
  EXPECT_EQ(prompter_.messages()[2].text,
            "Couldn't find folder\r\n\r\n" + archive_.dir.File("none"));
  EXPECT_EQ(prompter_.messages()[3].text, kNoArchiveInfoFile);
  for (const auto& message : prompter_.messages()) {
    EXPECT_EQ(message.kind, MessageKind::kInformation);
    EXPECT_EQ(message.buttons, kButtonOk);
  }
  EXPECT_TRUE(form_.folder.DirEdit.focused);
  EXPECT_EQ(StoredFolder(), archive_.folder());
}

TEST_F(SearchForm, NothingFoundIsSaid) {
  form_.URLEdit.text = "nowhere";
  form_.FindButtonClick();
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kNoFilesFound);

  // A damaged catalogue is said before the hits of the records before it.
  archive_.dir.Write("archive/archive.dat", archive_.catalogue() + "xyz");
  form_.URLEdit.text = ".com";
  form_.FindButtonClick();
  ASSERT_EQ(prompter_.messages().size(), 2u);
  EXPECT_EQ(prompter_.messages()[1].kind, MessageKind::kWarning);
  EXPECT_EQ(prompter_.messages()[1].text.rfind(kDamagedCatalogueSearched, 0), 0u);
  EXPECT_NE(prompter_.messages()[1].text.find("record 3 at offset"), std::string::npos);
  EXPECT_EQ(form_.ResultView.size(), 3u);
}

TEST_F(SearchForm, StopKeepsTheRowsFoundAndSaysNothing) {
  form_.URLEdit.text = ".com";
  prompter_.OnPendingMessages([this] {
    EXPECT_TRUE(form_.StopButton.enabled);
    EXPECT_FALSE(form_.FindButton.enabled);
    if (!form_.stop_requested()) form_.StopButtonClick();
  });
  form_.FindButtonClick();
  EXPECT_EQ(form_.ResultView.size(), 1u);
  EXPECT_TRUE(prompter_.messages().empty());

  // Stopped before any hit: the user hears that nothing was found.
  form_.URLEdit.text = "c.com";
  form_.FindButtonClick();
  EXPECT_TRUE(form_.ResultView.empty());
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kNoFilesFound);
}

TEST_F(SearchForm, FolderButtonsUseTheArchiveFolderSettings) {
  store_.WriteSettingText(kExportOptions, kDefaultDirectory, "/default/");
  form_.DefaultBtnClick();
  EXPECT_EQ(form_.folder.DirEdit.text, "/default/");
  form_.OtherBtnClick();
  EXPECT_EQ(form_.folder.DirEdit.text, "");
  store_.WriteSettingText(kExportOptions, kExportDirectoryName, "/second/");
  form_.OtherBtnClick();
  EXPECT_EQ(form_.folder.DirEdit.text, "/second/");
}

}  // namespace
}  // namespace webhoard
