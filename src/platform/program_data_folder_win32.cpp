#include <windows.h>

#include <optional>

#include "platform/program_data_folder.h"

namespace webhoard {
namespace {

std::optional<std::string> g_folder;

std::string ExecutableFolder() {
  std::string buffer(32768, '\0');
  const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n == 0 || n >= buffer.size()) return ".\\";
  buffer.resize(n);
  const auto separator = buffer.find_last_of("\\/");
  return separator == std::string::npos ? ".\\" : buffer.substr(0, separator + 1);
}

}  // namespace

// A Windows copy keeps its data beside webhoard.exe, as it always has.
const std::string& ProgramDataFolder() {
  if (!g_folder) {
    const auto home = WebhoardHomeFolder();
    g_folder = home ? *home : ExecutableFolder();
  }
  return *g_folder;
}

void ResetProgramDataFolderForTesting() {
  g_folder.reset();
}

}  // namespace webhoard
