#include "archive/archive_layout.h"

#include "cache/mime_types.h"
#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard {

bool IsPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::string TypeFolderOf(std::int32_t mime_index) {
  // The whole position: a type past 255 must never borrow the folder of the
  // type 256 places before it.
  return MimeTypeFolder(mime_index);
}

std::optional<std::string> ArchiveSubPath(std::string_view domain, std::string_view type_folder,
                                          std::string_view archive_name) {
  if (!IsPlainName(domain) || !IsPlainName(type_folder) || !IsPlainName(archive_name)) {
    return std::nullopt;
  }
  std::string path;
  path.reserve(domain.size() + type_folder.size() + archive_name.size() + 2);
  path.append(domain).append("/").append(type_folder).append("/").append(archive_name);
  return path;
}

std::optional<std::string> ArchiveSubPath(const TCacheItem& item) {
  return ArchiveSubPath(item.Domain, TypeFolderOf(item), item.ArchiveName);
}

std::optional<std::string> ArchivePathOf(std::string_view archive_folder, const TCacheItem& item) {
  auto sub = ArchiveSubPath(item);
  if (!sub) return std::nullopt;
  return JoinPath(archive_folder, *sub);
}

std::optional<std::string> ArchiveTypeFolderPath(std::string_view archive_folder,
                                                 std::string_view domain,
                                                 std::string_view type_folder) {
  if (!IsPlainName(domain) || !IsPlainName(type_folder)) return std::nullopt;
  return JoinPath(JoinPath(archive_folder, domain), type_folder);
}

std::string ArchiveRootFile(std::string_view archive_folder, std::string_view name) {
  return JoinPath(archive_folder, name);
}

std::string TakenNameKey(std::string_view domain, std::string_view type_folder,
                         std::string_view archive_name) {
  std::string key;
  key.reserve(domain.size() + type_folder.size() + archive_name.size() + 2);
  key.append(domain).append("/").append(type_folder).append("/").append(AsciiLower(archive_name));
  return key;
}

std::string ArchiveLinkText(std::string_view domain, std::string_view type_folder,
                            std::string_view archive_name) {
  std::string link(kArchiveRootFromPage);
  link.append(domain).append("/").append(type_folder).append("/").append(archive_name);
  return link;
}

}  // namespace webhoard
