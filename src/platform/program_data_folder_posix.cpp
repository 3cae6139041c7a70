#include <unistd.h>

#include <filesystem>
#include <optional>

#include "common/file_util.h"
#include "platform/program_data_folder.h"

// Where an installed prefix keeps the data, from the programs' folder; the
// build sets it from its install folders.
#ifndef WEBHOARD_DATA_FROM_PROGRAMS
#define WEBHOARD_DATA_FROM_PROGRAMS "../share/webhoard/"
#endif

namespace webhoard {
namespace {

std::optional<std::string> g_folder;

std::string ExecutableFolder() {
  std::string buffer(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return "./";
  buffer.resize(static_cast<std::size_t>(n));
  const auto slash = buffer.find_last_of('/');
  return slash == std::string::npos ? "./" : buffer.substr(0, slash + 1);
}

// /proc/self/exe names the program with its links resolved, so a link to it
// on the path still finds the prefix the program really lies in.
std::string FindProgramDataFolder() {
  const std::string program_folder = ExecutableFolder();
  if (DirectoryExists(program_folder + "images")) return program_folder;
  const std::string installed = std::filesystem::path(program_folder + WEBHOARD_DATA_FROM_PROGRAMS)
                                    .lexically_normal()
                                    .string();
  if (DirectoryExists(installed)) return installed;
  // Neither: the data is missing, and the messages about it name the
  // program's own folder.
  return program_folder;
}

}  // namespace

const std::string& ProgramDataFolder() {
  if (!g_folder) {
    const auto home = WebhoardHomeFolder();
    g_folder = home ? *home : FindProgramDataFolder();
  }
  return *g_folder;
}

void ResetProgramDataFolderForTesting() {
  g_folder.reset();
}

}  // namespace webhoard
