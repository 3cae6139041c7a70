// The registry export file: the text format in which Windows' registry
// editor exports and imports keys, and in which the file store keeps each
// root. A user can import keys exported from a Windows machine by dropping
// the file in, and read or edit the file by eye.
//
// Layout (lines end in CR LF or LF; a UTF-16LE file with its byte order mark
// is read too, since that is how the registry editor exports by default):
//
//   REGEDIT4                          first line, or
//                                     "Windows Registry Editor Version 5.00"
//   ; comment                         kept in place
//   [HKEY_CURRENT_USER\Software\X]    a key; the keys above it exist too
//   "Name"="text"                     a string; \\ and \" stand for \ and "
//   @="text"                          the key's default value
//   "Name"=hex(1):41,42,00            a string given as bytes (a trailing NUL
//                                     ends it); in a version 5.00 file the
//                                     bytes are UTF-16LE
//   "Name"=dword:00000001             any other type: not a string, kept as
//   "Name"=hex:01,02,\                written, continuation lines included
//     03
//   "Name"=-                          deletes the value
//   [-HKEY_CURRENT_USER\Software\X]   deletes the key and all below it
//
// What counts as damaged (ParseRegistryFile answers nullopt): a missing or
// unknown first line; a line that is none of the above; a value before the
// first key; a key or value name or a string with its closing quote missing
// or text after it; a key path with an empty name in it; an odd-sized UTF-16
// file or one holding characters beyond U+00FF (texts here are single
// bytes, and rewriting such a file would lose them). An empty file is not
// damaged: it holds no keys.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry_tree.h"

namespace webhoard {

std::optional<RegistryTree> ParseRegistryFile(std::string_view bytes);

// The file text of a tree, with the tree's header and line break. A string
// holding a line break or another control character is written as hex(1)
// bytes so that the file stays one value per line.
std::string FormatRegistryFile(const RegistryTree& tree);

}  // namespace webhoard
