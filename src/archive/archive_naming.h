// File names of archived copies.
//
// The Navigator edition derives a copy's name from its URL (the last path
// segment, cleaned, with an extension from the item's type); a name already
// taken in the folder gets a number: index.htm, index(1).htm, index(2).htm.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

// The extension (without the dot) for a built-in MIME position 1..72;
// "htm" for 0 and every type added later.
std::string ExtensionFor(int mime_index);

// The first-choice name of an archived copy, from the item's URL.
std::string NameFromURL(std::string_view url, int mime_index);

// The first-choice name of a copy from today's caches: as NameFromURL names
// the address without its query ("logo.png?v=2" is "logo.png"; the two
// copies still get two names, numbered as any taken name). Pages are read
// from the disk, where a browser takes a file's type from its extension and
// refuses a style sheet whose name does not end in ".css"; so a style sheet's
// name ends in ".css" and a script's in ".js" ("/css2?family=Sans" is
// "css2.css"). `mime_type` is the name of the item's type ("text/css").
std::string NameFromStoredURL(std::string_view url, int mime_index, std::string_view mime_type);

// The next candidate after `name`: "a.htm" -> "a(1).htm", "a(7).gif" ->
// "a(8).gif". Never longer than 255 characters; when the numbered form would
// be longer, the base is shortened first so the number is never cut off and
// successive candidates always differ.
std::string NextNumberedName(std::string_view name);

}  // namespace webhoard
