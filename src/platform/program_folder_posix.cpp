#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/program_folder.h"

namespace webhoard {
namespace {

std::optional<std::string> g_folder;

std::string WithTrailingSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string ExecutableFolder() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "./";
  buffer.resize(static_cast<std::size_t>(n));
  const auto slash = buffer.find_last_of('/');
  return slash == std::string::npos ? "./" : buffer.substr(0, slash + 1);
}

}  // namespace

const std::string& ProgramFolder() {
  if (!g_folder) {
    const char* home = std::getenv("WEBHOARD_HOME");
    g_folder = (home != nullptr && *home != '\0') ? WithTrailingSlash(home) : ExecutableFolder();
  }
  return *g_folder;
}

void ResetProgramFolderForTesting() { g_folder.reset(); }

}  // namespace webhoard
