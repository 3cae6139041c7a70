// The program folder: where MIMETYPE.DAT and the "images" folder of index
// icons live. It is the folder of the running executable, unless the
// environment variable WEBHOARD_HOME names another one (tests and installs
// that keep the data elsewhere).
#pragma once

#include <string>

namespace webhoard {

// The program folder with a trailing separator ("/"; on Windows the
// executable's folder ends in "\"). Determined once, at first use.
const std::string& ProgramFolder();

// Forgets the cached value so the next call reads WEBHOARD_HOME again.
// Test use only.
void ResetProgramFolderForTesting();

}  // namespace webhoard
