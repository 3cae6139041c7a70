#include <cstdlib>

#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/local_path.h"

namespace webhoard {

std::string WinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return prefix;
  }
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? JoinPath(home, ".wine") : std::string();
}

std::string LocalFileSystemPath(std::string_view windows_path) {
  std::string path(windows_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  const bool has_drive = path.size() >= 2 && path[1] == ':' && AsciiLower(path[0]) >= 'a' &&
                         AsciiLower(path[0]) <= 'z' && (path.size() == 2 || path[2] == '/');
  if (has_drive) {
    const std::string prefix = WinePrefix();
    if (!prefix.empty()) {
      const std::string drive = prefix + "/dosdevices/" + std::string(1, AsciiLower(path[0])) + ":";
      if (DirectoryExists(drive)) return drive + path.substr(2);
    }
  }
  return path;
}

std::string FolderOfPath(std::string_view path) {
  // Both separators: a Windows path keeps its "\" until it reaches the file
  // system, and the folder is taken before that.
  const std::size_t last = path.find_last_of("/\\");
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

}  // namespace webhoard
