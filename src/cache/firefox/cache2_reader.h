// Firefox's disk cache ("cache2", Firefox 32 and later, and the browsers
// built on it): one file per entry in cache2/entries, named by the SHA-1 of
// its key in 40 hex digits. The listing of that folder is the truth; the
// `index` and `index.log` files beside it only summarize it and lag behind
// by design, so they are not read.
#pragma once

#include <string>

#include "cache/http/stored_response.h"
#include "cache/read_stop.h"

namespace webhoard {

// Reads every entry of the cache in `folder`: the cache2 folder (holding
// entries/) or the entries folder itself. Only the metadata at each file's
// end is read, never a body. Files of other names (index, journals,
// eviction markers) are no entries. The old cache of Firefox 31 and earlier
// (`_CACHE_MAP_` and block files) is not read: a note says so. `stop` is
// asked every few thousand entries; a stopped read keeps what it has and
// says so in a note.
StoredResponses ReadFirefoxCache(const std::string& folder, const ReadStopCheck& stop = {});

}  // namespace webhoard
