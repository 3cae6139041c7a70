// The icons of an archive's index pages. The program carries them in the
// folder "images" beside it; every archive run copies the ones an archive
// lacks into the archive's own "images" folder, so the archive can be read
// anywhere, and never replaces one that is there: an archive keeps the icons
// it was made with.
//
// The pages name some icons in mixed case ("images/Webhoard.gif",
// "../images/dImage.gif") while the files are named in lower case. A file
// system that tells case apart would show those as missing, so the archive
// gets each of them under the page's spelling as well.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace webhoard {

// The icon files, by name (the file is name + ".gif"), in the order they are
// copied.
inline constexpr std::array<std::string_view, 28> kIndexIconNames = {
    "audio",   "text",    "video",  "other",  "image",    "uaudio",   "utext",
    "uvideo",  "uother",  "uimage", "daudio", "dtext",    "dvideo",   "dother",
    "dimage",  "gaudio",  "gtext",  "gvideo", "gother",   "gimage",   "folder",
    "lfolder", "ofolder", "ftext",  "ltext",  "notfound", "webhoard", "tarnlogo",
};

// A spelling used by the pages for an icon whose file is named in lower case.
struct IndexIconAlias {
  std::string_view page_name;  // as the pages write it, without ".gif"
  std::string_view icon_name;  // one of kIndexIconNames
};

inline constexpr std::array<IndexIconAlias, 14> kIndexIconAliases = {{
    {"dImage", "dimage"},
    {"gImage", "gimage"},
    {"uImage", "uimage"},
    {"dAudio", "daudio"},
    {"gAudio", "gaudio"},
    {"uAudio", "uaudio"},
    {"dVideo", "dvideo"},
    {"gVideo", "gvideo"},
    {"uVideo", "uvideo"},
    {"dOther", "dother"},
    {"gOther", "gother"},
    {"uOther", "uother"},
    {"Webhoard", "webhoard"},
    {"Tarnlogo", "tarnlogo"},
}};

// Creates archive_folder + "images" when it is missing (with any missing
// parent folders) and copies into it every icon it lacks, from the program
// folder's "images" folder, then adds the pages' mixed-case spellings from
// the archive's own copies. Existing files are never replaced; an icon that
// cannot be copied is skipped (the pages then show it as missing) and a
// later run tries again. Answers how many of the icon files the archive
// still lacks. Throws std::runtime_error when the "images" folder cannot be
// created.
std::size_t CopyIndexImages(const std::string& archive_folder);

}  // namespace webhoard
