// The user's own folders, where the programs write: the user data folder
// (the MIMETYPE.DAT that grows as new types are met) and the archive folder
// a first start proposes. Settings have their own place (registry.h). With
// WEBHOARD_HOME set, both lie in that folder, beside the program data.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

// Where the programs keep data of their own, with a trailing separator:
// $XDG_DATA_HOME/webhoard/, else ~/.local/share/webhoard/; on Windows the
// program data folder, as always. It may not exist yet.
std::string UserDataFolder();

// The archive folder of a first start, with a trailing separator: ~/Webhoard/;
// on Windows (and with WEBHOARD_HOME) the folder ARCHIVE in the program data
// folder.
std::string DefaultArchiveFolder();

// The value of an environment variable, "" when it is unset.
std::string EnvironmentValue(const char* name);

#ifndef _WIN32
// `folder` without trailing "/" ("/" itself stays).
std::string WithoutTrailingSlash(std::string folder);

// The user's home folder without a trailing "/": $HOME, else (HOME unset or
// empty) the account's home folder; "." when there is neither.
std::string HomeFolder();

// An XDG base folder without a trailing "/": $variable when it holds an
// absolute path (XDG asks that a relative one be ignored), else
// HomeFolder()/fallback.
std::string XdgBaseFolder(const char* variable, std::string_view fallback);
#endif

}  // namespace webhoard
