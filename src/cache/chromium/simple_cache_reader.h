// The Simple Cache: Chromium's disk cache on Linux, macOS, ChromeOS and
// Android (and on Windows in some field trials). A folder holds one file
// "<16 hex digits>_0" per entry: a header, the key, the body (stream 1)
// with its end record, then the response info (stream 0) with its end
// record last. Range downloads keep their data in a "<hash>_s" file beside.
//
// The folder listing is the truth: Chromium's own index ("index-dir") is
// written at idle times and is often stale, so it is not read. Only the
// headers, keys, end records and stream 0 are read; bodies are left where
// they lie. The browser may be running: files are only read, and an entry
// that changes or vanishes meanwhile is skipped like one still written.
#pragma once

#include <string>

#include "cache/http/stored_response.h"
#include "cache/read_stop.h"

namespace webhoard {

// Reads every entry file of the Simple Cache `folder`. A listing that fails
// is a note (the entries listed before the failure are still read). The
// stop check is asked every few thousand entries; a stopped read keeps what
// it read and says so in a note.
StoredResponses ReadSimpleCache(const std::string& folder, const ReadStopCheck& stop = {});

}  // namespace webhoard
