// A generated browser cache and an archive folder for whole archive runs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cache/cache_item.h"
#include "forms/archive_run.h"
#include "support/scripted_prompter.h"
#include "support/temp_dir.h"

namespace webhoard::testing {

class ArchiveRunFixture {
 public:
  ArchiveRunFixture();

  // Adds a cache item whose cached file holds `contents` (no file when
  // `contents` is null). `url` is a canonical URL.
  TCacheItem& AddItem(const std::string& url, int mime_index, const char* contents,
                      double date = 40000.0);

  // Runs the archive over every added item (or re-indexes when none), with
  // the prompter answering as scripted; answers the modal result.
  int Run(Edition edition = Edition::kNavigator);

  std::string ArchiveFile(const std::string& relative) const;
  std::string Catalogue() const;  // archive.dat bytes, empty when missing

  TempDir dir;
  ScriptedPrompter prompter;
  InMemorySettings settings;
  TCacheItemList cache;
  std::unique_ptr<ArchiveRun> run;
  bool write_index_page = true;  // the index step builds the real index pages

 private:
  int file_counter_ = 0;
};

// The records of a catalogue as (URL, ArchiveName) pairs, in file order.
std::vector<std::pair<std::string, std::string>> CatalogueRecords(const std::string& bytes);

}  // namespace webhoard::testing
