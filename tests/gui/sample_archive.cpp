#include "gui/sample_archive.h"

#include <filesystem>

#include "archive/archive_layout.h"
#include "archive/catalogue_reader.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "explorer/edition_cache.h"
#include "forms/archive_run.h"
#include "search/archive_search.h"
#include "support/memory_registry.h"
#include "support/scripted_prompter.h"

namespace webhoard::testing {

SampleArchive::SampleArchive() {
  LoadMimeTypes(dir.File("program/"));
  MemoryRegistry registry;
  SettingsStore store(registry);
  ScriptedPrompter prompter;
  TCacheItemList cache;
  const CacheSource sample{Edition::kNavigator, WEBHOARD_SOURCE_DIR "/samples/netscape/FAT.DB"};
  if (!LoadEditionCache(sample, store, prompter, cache).ok() || cache.empty()) return;

  // The folder is made beforehand, so the run asks no folder question; the
  // completion question is answered No.
  std::filesystem::create_directories(dir.File("archive"));
  InMemorySettings settings;
  settings.current_archive_folder = SearchFolderOf(dir.File("archive"));
  ArchiveRunEnvironment environment;
  environment.prompter = &prompter;
  environment.settings = &settings;
  ArchiveRun run(environment);
  run.PrepareArchiveRun();
  for (auto& item : cache) run.selection().push_back(item.get());
  prompter.Answer(MessageResult::kNo);
  HeadlessModalHost host;
  run.RunArchive(host);
  run.FinishArchiveRun();
  if (FileExists(ArchiveRootFile(settings.current_archive_folder, kArchiveInfoFileName))) {
    folder_ = settings.current_archive_folder;
  }
}

std::string SampleArchive::CopyOf(const std::string& url_end) const {
  for (const auto& item : ReadCatalogue(folder_).items) {
    if (item->URL.ends_with(url_end)) return ArchivePathOf(folder_, *item).value_or("");
  }
  return "";
}

}  // namespace webhoard::testing
