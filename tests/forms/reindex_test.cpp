#include <gtest/gtest.h>

#include <filesystem>

#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "forms/reindex_form.h"
#include "index/build_index.h"
#include "search/archive_search.h"
#include "settings/setting_names.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

// An archive made by a real archive run, then re-indexed by the dialog.
class Reindex : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadMimeTypes(dir_.File("program/"));
    settings_.current_archive_folder = dir_.File("chosen");
    env_.prompter = &prompter_;
    env_.settings = &settings_;
    env_.build_index = [this](const ArchiveList& list, TExportForm& form) {
      IndexProgress progress;
      progress.set_phase = [&form](const std::string& text) { form.SetPhase(text); };
      progress.set_progress = [&form](int percent) { form.SetProgress(percent); };
      BuildIndex(list, settings_.detailed_index, progress);
    };
    Cache("http://keep.com:80/a.html", 1, "<html><title>A</title>keep</html>");
    Cache("http://keep.com:80/b.gif", 2, "GIF89a");
    Cache("http://drop.com:80/c.html", 1, "<html>drop</html>");
    Cache("http://drop.com:80/d.gif", 2, "GIF89a");
    // Archive into the folder that will be re-indexed (made beforehand, so
    // the run has no folder question).
    std::filesystem::create_directories(Archive());
    settings_.current_archive_folder = Archive();
    ArchiveRun run(env_);
    run.PrepareArchiveRun();
    for (auto& item : cache_) run.selection().push_back(item.get());
    prompter_.Answer(MessageResult::kNo);
    run.RunArchive(host_);
    run.FinishArchiveRun();
    ASSERT_TRUE(FileExists(Archive("archive.dat")));
    settings_.current_archive_folder = dir_.File("chosen");
    prompter_ = {};
    // The completion question is answered No: no browser is started.
    prompter_.Answer(MessageResult::kNo);
  }
  void Cache(const std::string& url, int mime, const char* contents) {
    auto item = std::make_unique<TCacheItem>();
    item->URL = url;
    item->MimeIndex = mime;
    item->Category = MimeTypeCategory(MimeTypeName(mime));
    item->Date = 40000.0;
    item->Domain = DomainOfStoredUrl(url);
    item->LocalFile = dir_.Write("cache/" + std::to_string(cache_.size()), contents);
    cache_.push_back(std::move(item));
  }
  std::string Archive(const std::string& name = "") const {
    return JoinPath(dir_.File("archive"), name);
  }
  void DeleteArchived(const std::string& url) {
    for (auto& item : cache_) {
      if (item->URL == url) ::remove(ArchivePathOf(Archive(), *item)->c_str());
    }
  }
  std::size_t Hits(const std::string& text) {
    return SearchArchive(Archive(), text, "").hits.size();
  }

  testing::TempDir dir_;
  testing::ScriptedPrompter prompter_;
  InMemorySettings settings_;
  ArchiveRunEnvironment env_;
  HeadlessModalHost host_;
  TCacheItemList cache_;
  testing::MemoryRegistry registry_;
  SettingsStore store_{registry_};
};

TEST_F(Reindex, DropsTheRecordsOfADomainDeletedByHand) {
  DeleteArchived("http://drop.com:80/c.html");
  DeleteArchived("http://drop.com:80/d.gif");
  TReindexForm form(prompter_, store_, env_);
  form.FormCreate();
  form.folder.DirEdit.text = Archive();  // no trailing separator
  ASSERT_TRUE(form.ReindexBtnClick(host_));

  EXPECT_EQ(Hits("drop.com"), 0u);
  EXPECT_EQ(Hits("keep.com"), 2u);
  const std::string list = ReadFileBytes(Archive("indlist.htm")).value_or("");
  EXPECT_NE(list.find("keep.com"), std::string::npos);
  EXPECT_EQ(list.find("drop.com"), std::string::npos);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text.find("Re-indexing completed."), 0u);
  // The folder of the settings is the archive folder again; the dialog's
  // folder is remembered.
  EXPECT_EQ(settings_.current_archive_folder, dir_.File("chosen"));
  EXPECT_EQ(store_.ReadSettingText(kGeneralOptions, kReindexDirectory, ""), Archive());
  ASSERT_NE(form.last_run(), nullptr);
  EXPECT_EQ(form.last_run()->report().load.records_missing, 2u);
}

TEST_F(Reindex, WithEveryCopyGoneTheCatalogueAndEntryPageGo) {
  for (auto& item : cache_) DeleteArchived(item->URL);
  TReindexForm form(prompter_, store_, env_);
  form.folder.DirEdit.text = Archive() + "/";
  ASSERT_TRUE(form.ReindexBtnClick(host_));
  EXPECT_FALSE(FileExists(Archive("archive.dat")));
  EXPECT_FALSE(FileExists(Archive(kIndexEntryPage)));
  for (const auto& message : prompter_.messages()) {
    EXPECT_EQ(message.text.find("Do you wish to load this index now?"), std::string::npos);
  }
  EXPECT_EQ(settings_.current_archive_folder, dir_.File("chosen"));
}

TEST_F(Reindex, RefusesAnEmptyFieldAndAFolderWithoutCatalogue) {
  TReindexForm form(prompter_, store_, env_);
  form.folder.DirEdit.text = "";
  EXPECT_FALSE(form.ReindexBtnClick(host_));
  EXPECT_FALSE(form.ExploreBtnClick());
  form.folder.DirEdit.text = dir_.File("cache");
  EXPECT_FALSE(form.ReindexBtnClick(host_));
  ASSERT_EQ(prompter_.messages().size(), 3u);
  EXPECT_EQ(prompter_.messages()[0].text, kEnterReindexFolder);
  EXPECT_EQ(prompter_.messages()[2].text, kNoArchiveInfoFile);
  EXPECT_TRUE(form.folder.DirEdit.focused);
  EXPECT_EQ(form.last_run(), nullptr);
  EXPECT_EQ(store_.ReadSettingText(kGeneralOptions, kReindexDirectory, "unset"), "unset");
  // Nothing was written where the program runs.
  EXPECT_FALSE(FileExists(kIndexEntryPage));
}

TEST_F(Reindex, TheSettingsFolderIsRestoredWhenTheRunFails) {
  env_.build_index = [](const ArchiveList&, TExportForm&) {
    throw std::runtime_error("disk full");
  };
  ArchiveRun run(env_);
  try {
    ReindexArchive(Archive(), run, settings_, host_);
  } catch (const std::exception&) {
  }
  EXPECT_EQ(settings_.current_archive_folder, dir_.File("chosen"));
}

}  // namespace
}  // namespace webhoard
