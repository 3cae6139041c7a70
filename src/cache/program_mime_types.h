// The MIME type list of a program run: the user's own MIMETYPE.DAT in the
// user data folder, begun as a copy of the one the program came with (in the
// program data folder). With WEBHOARD_HOME set, and on Windows, both are one
// file beside the program.
#pragma once

#include <string>

#include "cache/mime_types.h"

namespace webhoard {

// LoadMimeTypes over the program's files; false with `error` set as there.
bool LoadProgramMimeTypes(NewMimeTypes new_types, std::string* error);

}  // namespace webhoard
