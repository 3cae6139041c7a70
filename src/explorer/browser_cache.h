// Today's browser caches (the Chromium family, Firefox) as a source of cache
// items: the one cache to read, found from what the user named or from the
// browsers' usual places, and its items. These caches are read, never
// changed: there is no remover for them.
#pragma once

#include <string>

#include "cache/cache_item.h"
#include "cache/places/browser_cache_places.h"
#include "cache/read_stop.h"
#include "explorer/edition_cache.h"

namespace webhoard {

// "Chromium" or "Firefox", as messages name the browsers.
std::string BrowserName(CacheBrowser browser);

// Finds the cache below `dir` (the usual places when empty) and appends its
// items. No cache, or more than one, is an error that says what to name;
// the report names the cache read, and counts what was skipped and why.
CacheLoadReport LoadBrowserCache(CacheBrowser browser, const std::string& dir,
                                 TCacheItemList& items, const ReadStopCheck& stop = {});

}  // namespace webhoard
