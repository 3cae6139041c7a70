#include "platform/program_data_folder.h"

#include <cstdlib>

namespace webhoard {

std::optional<std::string> WebhoardHomeFolder() {
  const char* home = std::getenv("WEBHOARD_HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  std::string folder = home;
  if (folder.back() != '/' && folder.back() != '\\') folder.push_back('/');
  return folder;
}

}  // namespace webhoard
