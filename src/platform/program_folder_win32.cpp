#include <windows.h>

#include <cstdlib>
#include <optional>

#include "platform/program_folder.h"

namespace webhoard {
namespace {

std::optional<std::string> g_folder;

bool EndsInSeparator(const std::string& folder) {
  return !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
}

std::string ExecutableFolder() {
  std::string buffer(32768, '\0');
  const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return ".\\";
  buffer.resize(n);
  const auto separator = buffer.find_last_of("\\/");
  return separator == std::string::npos ? ".\\" : buffer.substr(0, separator + 1);
}

}  // namespace

const std::string& ProgramFolder() {
  if (!g_folder) {
    const char* home = std::getenv("WEBHOARD_HOME");
    if (home != nullptr && *home != '\0') {
      g_folder = home;
      if (!EndsInSeparator(*g_folder)) g_folder->push_back('/');
    } else {
      g_folder = ExecutableFolder();
    }
  }
  return *g_folder;
}

void ResetProgramFolderForTesting() {
  g_folder.reset();
}

}  // namespace webhoard
