// The sections and value names of every setting in the settings store, and
// the fixed defaults. A section is a sub-key of "Software\Tarnwell\Webhoard".
#pragma once

#include <string_view>

namespace webhoard {

// Netscape Navigator edition only.
inline constexpr std::string_view kBrowserOptions = "Browser options";
inline constexpr std::string_view kFatPath = "FAT Path";  // the cache index file

inline constexpr std::string_view kExportOptions = "Export to disk properties";
inline constexpr std::string_view kDefaultDirectory = "Default directory";
inline constexpr std::string_view kShowOriginalUrls = "Show original URLS";
inline constexpr std::string_view kEmphasizeLinks = "Emphasize links";
inline constexpr std::string_view kStrikeoutLinks = "Strikeout links";
inline constexpr std::string_view kDetailedIndex = "Detailed index";
inline constexpr std::string_view kEmphasizeTag = "EmphasizeTag";
inline constexpr std::string_view kDeEmphasizeTag = "DeEmphasizeTag";
inline constexpr std::string_view kEmphasizeType = "Emphasize Type";
inline constexpr std::string_view kExportDirectory = "Export directory";  // 0 default, 1 secondary
inline constexpr std::string_view kExportDirectoryName = "export directory name";

inline constexpr std::string_view kSearchOptions = "Search properties";
inline constexpr std::string_view kSearchDirectory = "Search directory";

inline constexpr std::string_view kGeneralOptions = "General";
inline constexpr std::string_view kReindexDirectory = "Reindex directory";

// Internet Explorer edition only: the folder that holds the URL cache's
// index.dat; empty means the one found in the Wine prefix.
inline constexpr std::string_view kInternetExplorerOptions = "Internet Explorer options";
inline constexpr std::string_view kCacheFolder = "Cache Folder";

// Today's browsers: the cache folder read last, used again when the command
// names no folder (so one of several profiles need not be named each time).
inline constexpr std::string_view kBrowserCaches = "Browser caches";
inline constexpr std::string_view kChromiumCache = "Chromium cache";
inline constexpr std::string_view kFirefoxCache = "Firefox cache";

inline constexpr std::string_view kDefaultEmphasizeTag = "FONT FACE=\"Arial\"";
inline constexpr std::string_view kDefaultDeEmphasizeTag = "/FONT";

}  // namespace webhoard
