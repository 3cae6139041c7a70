#include "archive/archive_info_file.h"

#include <filesystem>
#include <system_error>

#include "archive/archive_layout.h"
#include "archive/archive_record.h"
#include "common/file_util.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

// Keeps the catalogue at `path` beside itself under the first name of
// path.damaged, path.damaged.1, ... that does not exist yet. A hard link
// keeps the very bytes (also of a file we could not read) without copying;
// where the file system has no links, a copy that refuses to overwrite.
bool KeepAside(const std::string& path, std::string& kept, std::string& error) {
  const std::string base = path + ".damaged";
  for (int n = 0; n < 1000; ++n) {
    const std::string candidate = n == 0 ? base : base + "." + std::to_string(n);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(candidate, ec))) continue;
    fs::create_hard_link(path, candidate, ec);
    if (!ec) {
      kept = candidate;
      return true;
    }
    if (ec == std::errc::file_exists) continue;
    std::error_code copy_ec;
    if (fs::copy_file(path, candidate, fs::copy_options::none, copy_ec)) {
      kept = candidate;
      return true;
    }
    if (copy_ec == std::errc::file_exists) continue;
    error =
        "cannot keep the damaged catalogue " + path + " as " + candidate + ": " + copy_ec.message();
    return false;
  }
  error = "cannot keep the damaged catalogue " + path + ": no free name " + base + ".N";
  return false;
}

// Removes the temporary catalogues that saves killed midway left behind
// (archive.tmp, archive.tmp.<id>): under the folder's lock no other save
// is writing one. Folders of those names are left alone.
void RemoveStaleTemporaryFiles(const std::string& folder, const std::string& own) {
  const std::string prefix(kArchiveTempFileName);
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name.size() > prefix.size() &&
        (name[prefix.size()] != '.' ||
         name.find_first_not_of("0123456789", prefix.size() + 1) != std::string::npos)) {
      continue;
    }
    const std::string path = ArchiveRootFile(folder, name);
    std::error_code type_ec;
    if (path == own || !fs::is_regular_file(fs::symlink_status(path, type_ec))) continue;
    fs::remove(path, type_ec);
  }
}

}  // namespace

std::optional<std::size_t> ArchiveList::Find(const std::string& url) const {
  const auto found = first_by_url_.find(url);
  if (found == first_by_url_.end()) return std::nullopt;
  return found->second;
}

const TCacheItem* ArchiveList::FindArchivedItem(const std::string& url) const {
  const auto position = Find(url);
  return position ? items_[*position].get() : nullptr;
}

std::optional<std::string> ArchiveList::FindArchivedName(const std::string& url) const {
  const TCacheItem* item = FindArchivedItem(url);
  if (item == nullptr) return std::nullopt;
  return item->ArchiveName;
}

bool ArchiveList::RecordArchivedItem(const TCacheItem& item) {
  if (!ArchiveSubPath(item)) return false;
  TCacheItem* entry = nullptr;
  if (const auto position = Find(item.URL)) {
    entry = items_[*position].get();
  } else {
    Append(std::make_unique<TCacheItem>());
    entry = items_.back().get();
    first_by_url_.emplace(item.URL, items_.size() - 1);
  }
  entry->MimeIndex = item.MimeIndex;
  entry->Category = item.Category;
  entry->Date = item.Date;
  entry->Domain = item.Domain;
  entry->LocalFile = item.LocalFile;
  entry->URL = item.URL;
  entry->Title = item.Title;
  entry->ArchiveName = item.ArchiveName;
  return true;
}

bool ArchiveList::ForgetArchivedItem(const std::string& url) {
  const auto position = Find(url);
  if (!position) return false;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*position));
  Reindex();
  return true;
}

void ArchiveList::Append(std::unique_ptr<TCacheItem> item) {
  items_.push_back(std::move(item));
}

void ArchiveList::Reindex() {
  first_by_url_.clear();
  first_by_url_.reserve(items_.size());
  for (std::size_t i = 0; i < items_.size(); ++i) first_by_url_.try_emplace(items_[i]->URL, i);
}

ArchiveList LoadArchiveList(const std::string& archive_folder, TakenNames& taken) {
  ArchiveList list(archive_folder);
  CatalogueListing listing = ReadCatalogue(archive_folder);
  if (!listing.exists) {
    std::error_code ec;
    if (!DirectoryExists(archive_folder)) fs::create_directories(archive_folder, ec);
    return list;
  }
  list.report_ = std::move(listing.report);
  for (auto& item : listing.items) {
    taken.Add(TakenNameKey(item->Domain, TypeFolderOf(*item), item->ArchiveName));
    list.Append(std::move(item));
  }
  list.Reindex();
  return list;
}

ArchiveSaveResult SaveArchiveList(ArchiveList& list) {
  ArchiveSaveResult result;
  const std::string dat = ArchiveRootFile(list.folder(), kArchiveInfoFileName);
  const std::string tmp = WithProcessId(ArchiveRootFile(list.folder(), kArchiveTempFileName));
  RemoveStaleTemporaryFiles(list.folder(), tmp);
  std::error_code ec;
  const bool dat_exists = fs::exists(fs::symlink_status(dat, ec));
  if (list.load_report().damaged && list.kept_aside_.empty() && dat_exists) {
    if (!KeepAside(dat, result.kept_aside, result.error)) {
      result.ok = false;
      return result;
    }
    list.kept_aside_ = result.kept_aside;
  }
  if (list.empty()) {
    if (dat_exists && !fs::remove(dat, ec)) {
      result.ok = false;
      result.error = "cannot delete " + dat + ": " + ec.message();
    }
    return result;
  }
  std::string buffer;
  for (const auto& item : list.items()) AppendArchiveRecord(buffer, *item);
  std::string error;
  if (!WriteFileAtomically(dat, buffer, tmp, &error)) {
    result.ok = false;
    result.error = error;
  }
  return result;
}

}  // namespace webhoard
