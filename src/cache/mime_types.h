// MIME types and file categories.
//
// Every item records its type as MimeIndex, the 1-based position of the type
// in one application-wide list: 72 built-in types in a fixed order, then the
// types met later, which are also appended to MIMETYPE.DAT in the program
// folder so they keep their numbers in later runs. Catalogues store these
// numbers, so the built-in order never changes and MIMETYPE.DAT only grows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace webhoard {

constexpr int kBuiltInMimeTypeCount = 72;
constexpr int kMimeIndexHtml = 1;  // "text/html": pages that are rewritten and searched

// Builds the list: the built-in types, then every line of MIMETYPE.DAT in
// `program_folder` after its header line. Called once at start-up; calling it
// again starts the list afresh (tests).
void LoadMimeTypes(const std::string& program_folder);

// The 1-based position of a type string, adding a new type to the list and to
// MIMETYPE.DAT; 0 when the string is no usable type.
int LookupMimeType(std::string_view type_string);

// The type at a position, or "text/plain" for 0 or a position past the end.
std::string MimeTypeName(int index);
// The part of MimeTypeName(index) before the first "/", or "other".
std::string MimeTypeFolder(int index);
// 0 Text ("text/"), 1 Media ("image", "audio", "video"), 2 Other.
std::int32_t MimeTypeCategory(std::string_view type_string);

// Number of types in the list now.
int MimeTypeCount();

}  // namespace webhoard
