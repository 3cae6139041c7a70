// MIMETYPE.DAT, the file of MIME types added after the built-in ones.
//
// Layout: text lines ending in CR LF. Line 1 is a header and is skipped
// whatever it holds; line k + 1 is list position 72 + k. Lines are read up
// to their first 255 bytes, unchanged otherwise; an empty line is an empty
// entry. Lines ending in a bare LF (a file edited on another system) are read
// the same way. The file is only ever appended to, one CR LF line per type.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace webhoard {

// The types held by the contents of a MIMETYPE.DAT, in file order.
std::vector<std::string> ParseMimeTypeFile(std::string_view contents);

// A whole MIMETYPE.DAT holding `types` in order.
std::string MimeTypeFileContents(const std::vector<std::string>& types);

// Appends one type line to the file at `path`. A missing or empty file gets
// the header line first (an empty file read back would otherwise take the
// type for its header); a last line left unterminated is ended first so the
// new type starts a line of its own. False with `error` set on failure.
bool AppendMimeTypeLine(const std::string& path, std::string_view type, std::string* error);

}  // namespace webhoard
