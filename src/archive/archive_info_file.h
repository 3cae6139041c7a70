// The archive list: the catalogue of one archive folder (archive.dat) loaded
// into memory for an archive run or a re-index, changed as items are
// archived, and saved back at the end.
//
// An entry's URL is its identity: look-ups compare whole URLs exactly and
// case-sensitively and answer the first entry in list order, through a hash
// index so that a catalogue of 100,000 items costs one probe per look-up.
//
// The catalogue is the user's record of everything archived, so it is never
// lost: a save writes archive.tmp.<process id> completely, flushes it and
// replaces archive.dat in one rename, and reports any failure with the old
// file left untouched. One process at a time loads, changes and saves a
// folder's catalogue: the archive run and the re-index hold the folder's
// lock (kArchiveLockFileName) from the load to the end of the save; the
// temporary name is still the process's own, so that a writer without the
// lock (a file system where locks do not work) never shares it. A catalogue that did not load cleanly (see ArchiveLoadReport in
// catalogue_reader.h)
// would lose the records after the damage when saved, so the original is
// first kept beside it under a fresh name (archive.dat.damaged, ...).
// The record layout is documented in archive_record.h; the records are
// read, and judged, by catalogue_reader.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/catalogue_reader.h"
#include "archive/taken_names.h"
#include "cache/cache_item.h"

namespace webhoard {

struct ArchiveSaveResult;

class ArchiveList {
 public:
  explicit ArchiveList(std::string archive_folder) : folder_(std::move(archive_folder)) {}

  const std::string& folder() const { return folder_; }
  const TCacheItemList& items() const { return items_; }
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }

  // Position of the first entry whose URL equals `url` exactly.
  std::optional<std::size_t> Find(const std::string& url) const;
  const TCacheItem* FindArchivedItem(const std::string& url) const;
  // The ArchiveName of that entry, or nullopt.
  std::optional<std::string> FindArchivedName(const std::string& url) const;

  // Overwrites the first entry with the item's URL, or appends a new entry:
  // MimeIndex, Category, Date, Domain, LocalFile, URL, Title and ArchiveName
  // are copied, CacheKey is not. An item whose archive path would not be a
  // plain Domain/type folder/name below the archive is refused (false):
  // it can have no copy, and must never reach the catalogue.
  bool RecordArchivedItem(const TCacheItem& item);

  // Removes the first entry with this URL (its copy is gone and no new one
  // was made); answers whether there was one. Costs a pass over the list.
  bool ForgetArchivedItem(const std::string& url);

  const ArchiveLoadReport& load_report() const { return report_; }
  // Where the damaged original was kept by the last save (empty if none).
  const std::string& kept_aside() const { return kept_aside_; }

 private:
  friend ArchiveList LoadArchiveList(const std::string& archive_folder, TakenNames& taken);
  friend ArchiveSaveResult SaveArchiveList(ArchiveList& list);

  void Append(std::unique_ptr<TCacheItem> item);
  void Reindex();

  std::string folder_;
  TCacheItemList items_;
  std::unordered_map<std::string, std::size_t> first_by_url_;
  ArchiveLoadReport report_;
  std::string kept_aside_;
};

// Reads archive.dat of `archive_folder` (creating the folder and its parents
// when it does not exist; a missing catalogue is an empty archive), keeps the
// records whose archived copy exists, in file order, and adds the key of each
// kept entry to `taken`. Never fails: what went wrong is in load_report().
// The index icons are copied separately (CopyIndexImages) right after.
ArchiveList LoadArchiveList(const std::string& archive_folder, TakenNames& taken);

struct ArchiveSaveResult {
  bool ok = true;
  std::string error;       // names the file and the operating system's reason
  std::string kept_aside;  // the damaged original kept by this save, if any
};

// Writes the list to archive.dat (deletes archive.dat when the list is
// empty). Before replacing a catalogue that did not load cleanly, keeps the
// original beside it under a name that did not exist; if that fails nothing
// is replaced. On failure the old archive.dat is untouched. The caller holds
// the folder's lock: temporary files of earlier saves that were killed
// (archive.tmp.<id> of another process) are removed here.
ArchiveSaveResult SaveArchiveList(ArchiveList& list);

}  // namespace webhoard
