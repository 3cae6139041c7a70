// Paths as the browsers recorded them, turned into paths of this system.
//
// Navigator's registry values, prefs.js and the command line give Windows
// paths ("C:\Netscape\Cache\FAT.DB"). On Windows they are used as they are.
// On Linux "\" becomes "/", and a drive letter becomes that drive of the
// Wine prefix, where a browser run under Wine keeps its files. This is the
// one place that knows where the prefix is and how its drives are mapped.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

// The Wine prefix: $WINEPREFIX, else ~/.wine; empty when neither is known
// and on Windows, where browsers need no prefix.
std::string WinePrefix();

// A Windows path as a path of this system. On Linux "\" becomes "/", and a
// drive ("C:\...") becomes the drive of the Wine prefix when that prefix
// maps it (its dosdevices folder); an unmapped drive keeps its letter.
std::string LocalFileSystemPath(std::string_view windows_path);

// The folder part of a Windows or local path, up to and with its last
// separator ("C:\nav\" of "C:\nav\FAT.DB", "/" of "/FAT.DB"); empty when the
// path names no folder. On Windows a bare drive ("C:" of "C:FAT.DB") is a
// folder as well.
std::string FolderOfPath(std::string_view path);

}  // namespace webhoard
