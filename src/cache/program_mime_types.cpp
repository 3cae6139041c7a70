#include "cache/program_mime_types.h"

#include "common/file_util.h"
#include "platform/program_data_folder.h"
#include "platform/user_folders.h"

namespace webhoard {

bool LoadProgramMimeTypes(NewMimeTypes new_types, std::string* error) {
  const MimeTypeFiles files{JoinPath(UserDataFolder(), kMimeTypeFileName),
                            JoinPath(ProgramDataFolder(), kMimeTypeFileName)};
  return LoadMimeTypes(files, new_types, error);
}

}  // namespace webhoard
