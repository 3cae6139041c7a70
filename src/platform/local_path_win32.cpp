#include "platform/local_path.h"

namespace webhoard {

std::string WinePrefix() {
  return {};
}

// The browsers' paths are paths of this system already.
std::string LocalFileSystemPath(std::string_view windows_path) {
  return std::string(windows_path);
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.find_last_of("/\\:");
  if (last == std::string_view::npos) return {};
  return std::string(path.substr(0, last + 1));
}

}  // namespace webhoard
