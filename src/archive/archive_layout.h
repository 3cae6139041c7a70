// Where things live inside an archive folder.
//
//   archive.dat                          the catalogue (archive_info_file.h)
//   archive.tmp.<process id>             only while the catalogue is saved
//   archive.lck                          the lock file of runs on this folder
//   <Domain>/<type folder>/<ArchiveName> the archived copy of one item
//   1st_page.htm, ..., images/           the index pages and their icons
//
// Domain is the cleaned host of the item's URL, the type folder is the part
// of its MIME type before "/", ArchiveName the bare file name the run gave the
// copy. All three come from web servers or from a catalogue on disk, so every
// path into the archive is built here, and only from components that are
// plain names: a component holding "/", "\", NUL, or being "." or ".." (or
// empty) yields no path at all, so nothing can be written or deleted outside
// its domain's type folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cache/cache_item.h"

namespace webhoard {

inline constexpr std::string_view kArchiveInfoFileName = "archive.dat";
// The catalogue's temporary file is this name and the saving process's id.
inline constexpr std::string_view kArchiveTempFileName = "archive.tmp";
// The lock file that one archive run or re-index at a time holds
// (platform/folder_lock.h); it stays in the folder, empty.
inline constexpr std::string_view kArchiveLockFileName = "archive.lck";
// Archived pages sit two folder levels below the archive folder, so their
// links reach the archive folder's own files through this prefix.
inline constexpr std::string_view kArchiveRootFromPage = "../../";

// True when `name` can be one component of a path inside the archive: not
// empty, not "." or "..", and free of "/", "\" and NUL.
bool IsPlainName(std::string_view name);

// The type folder of an item, by its whole MimeIndex.
std::string TypeFolderOf(std::int32_t mime_index);
inline std::string TypeFolderOf(const TCacheItem& item) {
  return TypeFolderOf(item.MimeIndex);
}

// "Domain/type folder/ArchiveName", or nullopt when a component is not plain.
std::optional<std::string> ArchiveSubPath(std::string_view domain, std::string_view type_folder,
                                          std::string_view archive_name);
std::optional<std::string> ArchiveSubPath(const TCacheItem& item);

// archive_folder + ArchiveSubPath(item), or nullopt. The one place that turns
// an item into a path below the archive folder.
std::optional<std::string> ArchivePathOf(std::string_view archive_folder, const TCacheItem& item);

// The folder Domain/type folder below the archive folder, or nullopt.
std::optional<std::string> ArchiveTypeFolderPath(std::string_view archive_folder,
                                                 std::string_view domain,
                                                 std::string_view type_folder);

// A file directly in the archive folder (archive.dat, the index pages).
std::string ArchiveRootFile(std::string_view archive_folder, std::string_view name);

// The key of an archive path in the taken-name list: Domain/type folder/
// ArchiveName with the name in lower case, so that names differing only in
// case collide (an archive must also work on file systems that ignore case).
std::string TakenNameKey(std::string_view domain, std::string_view type_folder,
                         std::string_view archive_name);

// The relative link from an archived page to an archived copy:
// "../../" + Domain + "/" + type folder + "/" + ArchiveName.
std::string ArchiveLinkText(std::string_view domain, std::string_view type_folder,
                            std::string_view archive_name);

}  // namespace webhoard
