#include "archive/catalogue_reader.h"

#include <filesystem>
#include <system_error>

#include "archive/archive_layout.h"
#include "archive/archive_record.h"
#include "url/canonical_url.h"
#include "cache/buffered_file_stream.h"
#include "common/file_util.h"

namespace webhoard {

namespace fs = std::filesystem;

CatalogueReader::CatalogueReader(std::string archive_folder)
    : folder_(std::move(archive_folder)),
      path_(ArchiveRootFile(folder_, kArchiveInfoFileName)) {
  std::error_code ec;
  exists_ = fs::exists(fs::symlink_status(path_, ec));
  if (!exists_) return;
  if (!fs::is_regular_file(fs::status(path_, ec))) {
    NoteDamage(path_ + ": not a regular file");
    return;
  }
  try {
    stream_ = std::make_unique<TSimpleBufferFileStream>(path_, FileOpenMode::kReadOnly);
    records_ = std::make_unique<ArchiveRecordReader>(*stream_);
  } catch (const StreamError& error) {
    NoteDamage(path_ + ": cannot be read: " + error.reason());
  }
}

CatalogueReader::~CatalogueReader() = default;

void CatalogueReader::NoteDamage(const std::string& what) {
  report_.damaged = true;
  if (!report_.damage.empty()) report_.damage += "; ";
  report_.damage += what;
}

CatalogueRecord CatalogueReader::Next(TCacheItem& item) {
  if (!records_) return exists_ ? CatalogueRecord::kDamaged : CatalogueRecord::kEnd;
  RecordReadResult read = RecordReadResult::kDamaged;
  try {
    read = records_->ReadFromStream(item);
  } catch (const StreamError& error) {
    NoteDamage(path_ + ": cannot be read after record " + std::to_string(records_->records()) +
               ": " + error.reason());
    records_.reset();
    return CatalogueRecord::kDamaged;
  }
  if (read == RecordReadResult::kEnd) return CatalogueRecord::kEnd;
  if (read == RecordReadResult::kDamaged) {
    NoteDamage(path_ + ": " + records_->damage());
    records_.reset();  // every later call answers kDamaged without noting it again
    return CatalogueRecord::kDamaged;
  }
  ++report_.records_read;
  item.Domain = DomainOfStoredUrl(item.URL);
  const auto sub = ArchiveSubPath(item);
  if (!sub) {
    if (report_.records_unsafe == 0) {
      NoteDamage(path_ + ": a record's archived copy would lie outside the archive (" + item.URL +
                 ")");
    }
    ++report_.records_unsafe;
    return CatalogueRecord::kUnsafe;
  }
  if (!FileExists(JoinPath(folder_, *sub))) {
    ++report_.records_missing;
    return CatalogueRecord::kCopyMissing;
  }
  return CatalogueRecord::kKept;
}

CatalogueListing ReadCatalogue(const std::string& archive_folder) {
  CatalogueListing listing;
  CatalogueReader reader(archive_folder);
  listing.exists = reader.exists();
  for (;;) {
    auto item = std::make_unique<TCacheItem>();
    const CatalogueRecord verdict = reader.Next(*item);
    if (verdict == CatalogueRecord::kEnd || verdict == CatalogueRecord::kDamaged) break;
    if (verdict == CatalogueRecord::kKept) listing.items.push_back(std::move(item));
  }
  listing.report = reader.report();
  return listing;
}

}  // namespace webhoard
