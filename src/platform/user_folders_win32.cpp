#include "platform/program_data_folder.h"
#include "platform/user_folders.h"

namespace webhoard {

// A Windows copy keeps everything beside webhoard.exe, as it always has.
std::string UserDataFolder() {
  return ProgramDataFolder();
}

std::string DefaultArchiveFolder() {
  return ProgramDataFolder() + "ARCHIVE/";
}

}  // namespace webhoard
