#include "cache/mime_types.h"

#include <filesystem>
#include <unordered_map>
#include <vector>

#include "cache/cache_item.h"
#include "cache/mime_type_file.h"
#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

// The built-in types, positions 1 to 72. Catalogues store these positions:
// the order is part of the archive format and never changes.
constexpr const char* kBuiltInTypes[kBuiltInMimeTypeCount] = {
    "text/html",                          // 1
    "image/gif",                          // 2
    "image/jpeg",                         // 3
    "text/plain",                         // 4
    "text/richtext",                      // 5
    "image/x-xbitmap",                    // 6
    "image/xbitmap",                      // 7
    "image/pjpeg",                        // 8
    "image/tiff",                         // 9
    "image/ief",                          // 10
    "image/x-xwindowdump",                // 11
    "image/x-ms-bmp",                     // 12
    "image/xbm",                          // 13
    "image/x-xpixmap",                    // 14
    "image/x-rgb",                        // 15
    "image/x-portable-pixmap",            // 16
    "image/x-portable-graymap",           // 17
    "image/x-portable-bitmap",            // 18
    "image/x-portable-anymap",            // 19
    "image/x-cmu-raster",                 // 20
    "video/x-sgi-movie",                  // 21
    "video/x-msvideo",                    // 22
    "video/quicktime",                    // 23
    "video/mpeg",                         // 24
    "video/avi",                          // 25
    "audio/x-wav",                        // 26
    "audio/wav",                          // 27
    "audio/x-aiff",                       // 28
    "audio/x-midi",                       // 29
    "audio/x-pn-realaudio",               // 30
    "audio/aiff",                         // 31
    "audio/basic",                        // 32
    "application/msword",                 // 33
    "application/x-troff-man",            // 34
    "application/x-sh",                   // 35
    "application/x-latex",                // 36
    "application/x-csh",                  // 37
    "application/rtf",                    // 38
    "application/postscript",             // 39
    "application/octet-stream",           // 40
    "application/x-stuffit",              // 41
    "application/mac-binhex40",           // 42
    "application/fractals",               // 43
    "application/x-zip-compressed",       // 44
    "application/x-ns-proxy-autoconfig",  // 45
    "application/x-javascript",           // 46
    "application/x-tar",                  // 47
    "application/x-gtar",                 // 48
    "application/x-gzip",                 // 49
    "application/x-compress",             // 50
    "application/x-mocha",                // 51
    "application/x-tcl",                  // 52
    "application/x-cpio",                 // 53
    "application/x-shar",                 // 54
    "application/x-texinfo",              // 55
    "application/x-tex",                  // 56
    "application/x-dvi",                  // 57
    "application/octet-string",           // 58
    "application/x-msdownload",           // 59
    "application/zip",                    // 60
    "www/unknown",                        // 61
    "x-world/x-vrml",                     // 62
    "audio/midi",                         // 63
    "audio/x-mid",                        // 64
    "image/fif",                          // 65
    "image/png",                          // 66
    "application/pdf",                    // 67
    "application/x-httpd-cgi",            // 68
    "application/x-java-class",           // 69
    "application/x-gocserve",             // 70
    "application/x-tvml",                 // 71
    "application/exe",                    // 72
};

// A MIMETYPE.DAT larger than this is no list of types; it is left alone.
constexpr std::uint64_t kMaxMimeTypeFileSize = 16u << 20;

struct MimeTypeList {
  std::vector<std::string> names;
  // Lower-cased name -> first position holding it, so that a look-up finds
  // the same entry a walk through the list in order would.
  std::unordered_map<std::string, int> first_position;
  // Where new types are appended; empty when they are kept for this run only.
  std::string file_path;
  // The file at file_path is still to be made from this list: it was read
  // from the seed, or from nothing.
  bool file_pending = false;
  // Why new types are not saved, when a MIMETYPE.DAT could not be read; empty
  // when they are kept for this run by choice, or no list was loaded (tests),
  // where that is no failure.
  std::string unsaved_reason;

  void Add(std::string name) {
    names.push_back(std::move(name));
    first_position.emplace(AsciiLower(names.back()), static_cast<int>(names.size()));
  }
};

MimeTypeList BuiltInList() {
  MimeTypeList list;
  list.names.reserve(kBuiltInMimeTypeCount);
  for (const char* name : kBuiltInTypes) list.Add(name);
  return list;
}

// The list lives for the whole program; until LoadMimeTypes runs it holds the
// built-in types and new types are not written anywhere.
MimeTypeList& List() {
  static MimeTypeList list = BuiltInList();
  return list;
}

bool IsTypeByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 33 && b <= 126;
}

bool IsControlByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b < 32 || b == 127;
}

std::string_view TrimToTypeBytes(std::string_view text) {
  while (!text.empty() && !IsTypeByte(text.front())) text.remove_prefix(1);
  while (!text.empty() && !IsTypeByte(text.back())) text.remove_suffix(1);
  return text;
}

bool IsFolderNameByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == '+';
}

// Makes the user's own list from what this run holds: the seed's types at
// the positions they were read in, then the types added since.
bool StartOwnFile(const MimeTypeList& list, const std::string& type, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(list.file_path).parent_path(), ec);
  std::string reason = ec ? ec.message() : std::string();
  if (!ec) {
    const std::vector<std::string> added(list.names.begin() + kBuiltInMimeTypeCount,
                                         list.names.end());
    if (WriteFileAtomically(list.file_path, MimeTypeFileContents(added),
                            WithProcessId(list.file_path), &reason)) {
      return true;
    }
  }
  *error = "cannot add the MIME type \"" + type + "\" to " + list.file_path + ": " + reason;
  return false;
}

}  // namespace

void LoadMimeTypes(const std::string& folder) {
  LoadMimeTypes(folder, nullptr);
}

bool LoadMimeTypes(const std::string& folder, std::string* error) {
  const std::string path = JoinPath(folder, kMimeTypeFileName);
  return LoadMimeTypes({path, path}, NewMimeTypes::kSaved, error);
}

bool LoadMimeTypes(const MimeTypeFiles& files, NewMimeTypes new_types, std::string* error) {
  MimeTypeList& list = List();
  list = BuiltInList();
  std::error_code ec;
  const bool own_exists = std::filesystem::exists(files.own, ec);
  const std::string& path = own_exists ? files.own : files.seed;
  if (!path.empty() && std::filesystem::exists(path, ec)) {
    const auto contents = ReadFileBytes(path, kMaxMimeTypeFileSize);
    if (!contents) {
      list.unsaved_reason = "cannot read " + path + ", so new MIME types are not added to it";
      if (error != nullptr) *error = list.unsaved_reason;
      return false;
    }
    for (std::string& type : ParseMimeTypeFile(*contents)) list.Add(std::move(type));
  }
  if (new_types == NewMimeTypes::kSaved) {
    list.file_path = files.own;
    // The seed's own folder (one self-contained folder) keeps today's
    // appending; a user's list elsewhere starts as a copy of the seed.
    list.file_pending = !own_exists && files.own != files.seed;
  }
  return true;
}

int LookupMimeType(std::string_view type_string) {
  std::string save_error;
  const int position = LookupMimeType(type_string, &save_error);
  if (!save_error.empty()) throw MimeTypeFileError(save_error, position);
  return position;
}

int LookupMimeType(std::string_view type_string, std::string* save_error) {
  MimeTypeList& list = List();
  std::string_view type = TrimToTypeBytes(type_string);
  if (type.empty()) type = "text/html";
  // MIMETYPE.DAT gives back at most 255 bytes of a line; looking up and
  // adding that form keeps a long type at one position in every run.
  const std::string key = AsciiLower(CutAt(type, kShortTextLength));
  if (const auto found = list.first_position.find(key); found != list.first_position.end()) {
    return found->second;
  }
  if (key.size() <= 2 || key.find('/') == std::string::npos) return 0;
  // A control byte inside the type (a line break in a header value) would
  // split its line in MIMETYPE.DAT and renumber every later type. Blanks and
  // bytes above 126 do no such harm, and "text/html; charset=..." is what
  // servers commonly send, so those are kept as the type's text.
  for (const char c : key) {
    if (IsControlByte(c)) return 0;
  }
  list.Add(key);
  const int position = static_cast<int>(list.names.size());
  if (list.file_path.empty()) {
    if (save_error != nullptr && !list.unsaved_reason.empty()) *save_error = list.unsaved_reason;
  } else if (list.file_pending) {
    std::string error;
    if (StartOwnFile(list, key, &error)) {
      list.file_pending = false;
    } else if (save_error != nullptr) {
      *save_error = error;
    }
  } else {
    std::string error;
    if (!AppendMimeTypeLine(list.file_path, key, &error) && save_error != nullptr) {
      *save_error = error;
    }
  }
  return position;
}

std::string MimeTypeName(int index) {
  const MimeTypeList& list = List();
  if (index >= 1 && static_cast<std::size_t>(index) <= list.names.size()) {
    return list.names[static_cast<std::size_t>(index) - 1];
  }
  return "text/plain";
}

std::string MimeTypeFolder(int index) {
  const std::string name = MimeTypeName(index);
  const auto slash = name.find('/');
  if (slash == std::string::npos) return "other";
  std::string folder = name.substr(0, slash);
  // The folder is made on disk from text that web servers sent.
  if (folder.empty() || folder == "." || folder == "..") return "other";
  for (const char c : folder) {
    if (!IsFolderNameByte(c)) return "other";
  }
  return folder;
}

std::int32_t MimeTypeCategory(std::string_view type_string) {
  const std::string_view head = type_string.substr(0, 5);
  if (head == "text/") return kCategoryText;
  if (head == "image" || head == "audio" || head == "video") return kCategoryMedia;
  return kCategoryOther;
}

int MimeTypeCount() {
  return static_cast<int>(List().names.size());
}

}  // namespace webhoard
