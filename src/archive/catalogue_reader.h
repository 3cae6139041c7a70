// Reading an archive folder's catalogue (archive.dat) record by record, with
// the one set of verdicts that every user of a catalogue shares: the archive
// run and re-index (which keep what is read), the search and the listing of
// the catalogue. A record is kept only when it is well formed, its archived
// copy lies inside the archive as a plain Domain/type folder/name, and that
// copy exists; reading stops at the first damaged record.
//
// The records themselves are read by archive_record.h.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "cache/cache_item.h"

namespace webhoard {

class ArchiveRecordReader;
class TSimpleBufferFileStream;

// What reading found. A catalogue "did not read cleanly" (damaged) when
// archive.dat exists but cannot be read, when bytes at its end do not form a
// complete, well-formed record (a cut-off record, a zero or absurd length, a
// text without its NUL), or when a record names a Domain, type folder or
// ArchiveName that is not a plain name and so can be no archived copy.
// Records whose copy is simply gone are dropped without counting as damage:
// that is how deleting a copy by hand removes it from the catalogue.
struct ArchiveLoadReport {
  bool damaged = false;
  std::string damage;               // what was wrong and where, naming the file
  std::size_t records_read = 0;     // well-formed records in the file
  std::size_t records_missing = 0;  // dropped: their copy no longer exists
  std::size_t records_unsafe = 0;   // dropped: their path would leave the archive
};

// The verdict on one record, or the end of reading.
enum class CatalogueRecord {
  kKept,         // a record to use
  kCopyMissing,  // well formed, but its archived copy is gone
  kUnsafe,       // well formed, but its copy would lie outside the archive
  kEnd,          // no more records
  kDamaged,      // reading stopped at damage (see report().damage)
};

class CatalogueReader {
 public:
  // Opens archive.dat of `archive_folder`. Never throws: a catalogue that is
  // not a regular file (a folder, a pipe that would block) or cannot be
  // opened is damage, a missing one reads as empty.
  explicit CatalogueReader(std::string archive_folder);
  ~CatalogueReader();
  CatalogueReader(const CatalogueReader&) = delete;
  CatalogueReader& operator=(const CatalogueReader&) = delete;

  // Whether archive.dat exists (as any kind of file).
  bool exists() const { return exists_; }
  const std::string& path() const { return path_; }

  // Reads the next record into `item` and recomputes its Domain.
  CatalogueRecord Next(TCacheItem& item);

  const ArchiveLoadReport& report() const { return report_; }

 private:
  void NoteDamage(const std::string& what);

  std::string folder_;
  std::string path_;
  bool exists_ = false;
  std::unique_ptr<TSimpleBufferFileStream> stream_;
  std::unique_ptr<ArchiveRecordReader> records_;
  ArchiveLoadReport report_;
};

// The kept records of a catalogue, in file order, with what reading found.
struct CatalogueListing {
  bool exists = false;
  TCacheItemList items;
  ArchiveLoadReport report;
};
CatalogueListing ReadCatalogue(const std::string& archive_folder);

}  // namespace webhoard
