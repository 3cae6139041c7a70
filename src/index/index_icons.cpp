#include "index/index_icons.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "archive/copy_archive_file.h"
#include "common/file_util.h"
#include "platform/program_data_folder.h"

namespace webhoard {
namespace {

std::string IconFile(const std::string& folder, std::string_view name) {
  return JoinPath(folder, std::string(name) + ".gif");
}

}  // namespace

std::size_t CopyIndexImages(const std::string& archive_folder) {
  const std::string target_folder = JoinPath(archive_folder, "images");
  if (!DirectoryExists(target_folder)) {
    std::error_code error;
    std::filesystem::create_directories(target_folder, error);
    if (!DirectoryExists(target_folder)) {
      throw std::runtime_error("Cannot create the folder " + target_folder + ": " +
                               (error ? error.message() : std::string("not a folder")));
    }
  }
  const std::string source_folder = JoinPath(ProgramDataFolder(), "images");

  std::size_t missing = 0;
  for (const std::string_view name : kIndexIconNames) {
    const std::string target = IconFile(target_folder, name);
    if (FileExists(target)) continue;
    if (!CopyArchiveFile(IconFile(source_folder, name), target)) ++missing;
  }
  // On a file system that ignores case the spelling already exists and
  // nothing is copied.
  for (const IndexIconAlias& alias : kIndexIconAliases) {
    const std::string target = IconFile(target_folder, alias.page_name);
    if (FileExists(target)) continue;
    const std::string own_copy = IconFile(target_folder, alias.icon_name);
    if (FileExists(own_copy)) CopyArchiveFile(own_copy, target);
  }
  return missing;
}

}  // namespace webhoard
