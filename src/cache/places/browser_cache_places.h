// Where today's browsers keep their disk caches: the folders to hand to the
// Chromium and Firefox readers, found below a folder the user names or in
// the browsers' usual places on this machine. Only names and first bytes
// are looked at; nothing is read further and nothing is written.
//
// Links: the folder given (and each usual place) is followed like any path,
// but below it only real folders are entered, so a profile linked in from
// elsewhere does not pull a foreign tree into the answer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cache/places/cache_folder_kind.h"

namespace webhoard {

enum class CacheBrowser { kChromium, kFirefox };

struct FoundCache {
  std::string folder;                      // the folder to hand to the reader
  std::string description;                 // "Google Chrome, profile Default"
  std::optional<ChromiumBackend> backend;  // Chromium only, told from the files
};

// Every cache below `dir`, which may be the cache folder itself or any
// folder above it that a user would pick:
// - Chromium: a user-data folder (holding "Default", "Profile 1", ...), a
//   profile folder, its "Cache" folder or "Cache/Cache_Data". Only the HTTP
//   cache counts; GPUCache, Code Cache and the like are never answered.
// - Firefox: a profiles folder, a profile folder, its cache2 folder, the
//   entries folder or any folder of entry files.
// A profile kept in the roaming or config tree (~/.mozilla/firefox/<p>,
// ~/.config/<browser>/<p>, Application Support, %APPDATA%) has its cache in
// the matching local tree; that one is searched as well. Empty when nothing
// is found.
std::vector<FoundCache> FindCachesIn(CacheBrowser browser, const std::string& dir);

// Every cache of every profile in the usual places of this system's
// browsers (including snap and flatpak installs on Linux), from $HOME,
// $XDG_CACHE_HOME or %LOCALAPPDATA%.
std::vector<FoundCache> FindDefaultCaches(CacheBrowser browser);

}  // namespace webhoard
