// Telling a browser's cache folder from any other folder by the names and
// the first bytes of the files it holds. Nothing is written, and the only
// file read (Chromium's `index`, a few bytes of it) is opened as a regular
// file, never through a link.
#pragma once

#include <optional>
#include <string>

namespace webhoard {

enum class ChromiumBackend { kSimple, kBlockfile };

// The backend of the Chromium cache in `folder` (its files directly inside):
// a blockfile cache has an `index` starting with the blockfile magic and a
// `data_0`; a Simple Cache has an `index` with the Simple magic, an
// `index-dir/the-real-index` or "<16 hex digits>_0" entry files. Nullopt for
// any other folder.
std::optional<ChromiumBackend> ChromiumBackendOf(const std::string& folder);

// True when `folder` is a Firefox cache2 folder (holding `entries/`) or a
// folder of entry files named by 40 hex digits (an `entries` folder, or a
// copy of one with the files loose).
bool IsFirefoxCacheFolder(const std::string& folder);

}  // namespace webhoard
