// Searching one archive folder: by a piece of an item's address, by a piece
// of text inside its archived HTML page, or by both. The search reads the
// folder's catalogue (archive.dat) record by record and the archived copies
// themselves, and changes nothing in the archive.
//
// Both search texts are compared in lower case (only A-Z are changed). A page
// is read in blocks of 2048 bytes and searched whole: the blocks overlap by
// the length of the text, and a NUL byte is just a byte. Only text/html
// copies are searched for page text.
//
// The catalogue comes from disk and may be hostile: every archived copy is
// located through archive_layout.h, so a record naming "..", a slash or an
// empty component is skipped and nothing outside the folder is ever read.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cache/cache_item.h"

namespace webhoard {

// Block size of the page test.
inline constexpr std::size_t kPageBlockSize = 2048;

// Icons of the result list.
enum SearchIcon : int {
  kSearchIconText = 0,
  kSearchIconImage = 1,
  kSearchIconAudio = 2,
  kSearchIconVideo = 3,
  kSearchIconOther = 4,
};

// The texts of the search's messages.
inline constexpr std::string_view kEnterSearchText = "Enter some search text.";
inline constexpr std::string_view kCouldNotFindFolder = "Couldn't find folder\r\n\r\n";
inline constexpr std::string_view kNoArchiveInfoFile =
    "Couldn't find an archive info file\r\n(archive.dat) in this folder.";
inline constexpr std::string_view kNoFilesFound = "No files found.";
// Said before the results when the catalogue is damaged; the damage follows.
inline constexpr std::string_view kDamagedCatalogueSearched =
    "The archive catalogue is damaged; only the records that could be read were "
    "searched.\r\n\r\n";
// An empty folder field would otherwise search the working folder, which the
// user never chose.
inline constexpr std::string_view kEnterArchiveFolder = "Enter the archive folder to look in.";

// One hit: the address in its link form, the archived copy, its icon.
struct SearchHit {
  std::string address;
  std::string archive_file;
  int icon = kSearchIconOther;
  TCacheItem record;  // the catalogue record found, for a listing of every field
};

struct SearchResult {
  std::vector<SearchHit> hits;
  std::size_t records_read = 0;
  bool stopped = false;  // the caller asked to stop before the end
  std::string error;     // damage in the catalogue (an unreadable file, a damaged or unsafe
                         // record): the records before it were searched
};

// The icon of a type: by the first five characters of its name.
int SearchIconOf(int mime_index);

// The folder with a path separator appended when it has none.
std::string SearchFolderOf(std::string_view folder);

// The checks made before a search, in order: both texts empty, the folder
// field empty, the folder missing, archive.dat missing. Answers the message
// to show, or nullopt when the search may run.
std::optional<std::string> CheckSearchRequest(std::string_view url_text, std::string_view page_text,
                                              std::string_view folder);

// True when the file holds `lower_text` (already in lower case; it ends at
// its first NUL) anywhere. An empty text or an unreadable file never matches.
bool FileContainsText(const std::string& path, std::string_view lower_text);

// Searches `folder` (its catalogue must exist; see CheckSearchRequest). The
// texts are turned to lower case here. `after_record`, when given, runs
// after every record (the window serves its events there) and answers
// whether to go on. Never throws: an unreadable or damaged catalogue ends
// the search at that point, with the hits found so far.
SearchResult SearchArchive(std::string_view folder, std::string_view url_text,
                           std::string_view page_text,
                           const std::function<bool()>& after_record = {});

}  // namespace webhoard
