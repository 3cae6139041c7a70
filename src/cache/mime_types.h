// MIME types and file categories.
//
// Every item records its type as MimeIndex, the 1-based position of the type
// in one application-wide list: 72 built-in types in a fixed order, then the
// types met later, which are also appended to MIMETYPE.DAT so they keep their
// numbers in later runs. Catalogues store these numbers, so the built-in
// order never changes and MIMETYPE.DAT only grows.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace webhoard {

constexpr int kBuiltInMimeTypeCount = 72;
constexpr int kMimeIndexHtml = 1;  // "text/html": pages that are rewritten and searched

// The file of added types, and its first line.
inline constexpr char kMimeTypeFileName[] = "MIMETYPE.DAT";
inline constexpr char kMimeTypeFileHeader[] = "ADDITIONAL MIMETYPES INFO. DO NOT EDIT OR REMOVE!";

// A new type was added to the list but could not be written to
// MIMETYPE.DAT: it keeps its position for this run only. position() is the
// answer the look-up would have given, so a caller can report and go on.
class MimeTypeFileError : public std::runtime_error {
 public:
  MimeTypeFileError(const std::string& message, int position)
      : std::runtime_error(message), position_(position) {}
  int position() const { return position_; }

 private:
  int position_;
};

// Where the list of added types is read and kept.
struct MimeTypeFiles {
  // The user's own list: read when it exists, and where new types are added.
  std::string own;
  // The list the program came with: read while `own` does not exist yet, and
  // copied to `own` (as it was read) when the first new type is added, so
  // every type keeps its position. May be the same path as `own`.
  std::string seed;
};

// Whether new types go to the user's list or are only known to this run (a
// command that only reads writes no file).
enum class NewMimeTypes { kSaved, kThisRunOnly };

// Builds the list: the built-in types, then every line of the user's list
// (or of the seed) after its header line. Answers false with `error` set when
// the file to read exists but cannot be read: the list then holds the built-in
// types alone, and new types are kept for this run only, since appending to a
// file whose lines were not counted would give them numbers that disagree
// with the next run. Called once at start-up; calling it again starts the list
// afresh (tests).
bool LoadMimeTypes(const MimeTypeFiles& files, NewMimeTypes new_types, std::string* error);
// The same with MIMETYPE.DAT in `folder` as both the user's list and the seed.
void LoadMimeTypes(const std::string& folder);
bool LoadMimeTypes(const std::string& folder, std::string* error);

// The 1-based position of a type string, adding a new type to the list and to
// MIMETYPE.DAT; 0 when the string is no usable type. Blanks and control bytes
// around the type are ignored, and so is case; an empty string is
// "text/html". A type not in the list is added only when it is longer than
// 2 bytes, holds "/" and holds no byte outside 33..126 (a line break inside
// it would split its line in MIMETYPE.DAT and renumber every later type);
// otherwise it is no usable type. A type longer than 255 bytes is taken as
// its first 255, the form in which MIMETYPE.DAT gives it back.
// When a new type cannot be written to MIMETYPE.DAT, throws
// MimeTypeFileError after adding it to the list.
int LookupMimeType(std::string_view type_string);
// The same, but a failure to write MIMETYPE.DAT is told through `save_error`
// (left untouched otherwise) instead of thrown.
int LookupMimeType(std::string_view type_string, std::string* save_error);

// The type at a position, or "text/plain" for 0 or a position past the end.
std::string MimeTypeName(int index);
// The part of MimeTypeName(index) before the first "/", or "other". The
// folder becomes a folder name on disk, so "other" also stands for a part
// that is empty, "." or "..", or holds anything but letters, digits and
// "-", "_", ".", "+".
std::string MimeTypeFolder(int index);
// 0 Text ("text/"), 1 Media ("image", "audio", "video"), 2 Other.
std::int32_t MimeTypeCategory(std::string_view type_string);

// Number of types in the list now.
int MimeTypeCount();

}  // namespace webhoard
