// The program's data folder: the read-only files the programs come with (the
// "images" folder of index icons, the "help" pages, the MIMETYPE.DAT they
// start from). It is found from the running program's own place, so a build
// folder, an installed prefix and a prefix moved elsewhere all work:
//   - the folder WEBHOARD_HOME names, when it is set (a self-contained setup
//     that keeps the user's files there too; the tests use it);
//   - the program's own folder when it holds the "images" folder (a build
//     folder; on Windows the program's folder always);
//   - <program's folder>/../share/webhoard/ (an installed prefix).
// Nothing is ever written here; see user_folders.h for where the programs
// write.
#pragma once

#include <optional>
#include <string>

namespace webhoard {

// The program data folder with a trailing separator ("/"; on Windows the
// executable's folder ends in "\"). Determined once, at first use.
const std::string& ProgramDataFolder();

// Forgets the cached value so the next call reads WEBHOARD_HOME again.
// Test use only.
void ResetProgramDataFolderForTesting();

// The folder WEBHOARD_HOME names, with a trailing separator; nullopt when the
// variable is unset or empty.
std::optional<std::string> WebhoardHomeFolder();

}  // namespace webhoard
