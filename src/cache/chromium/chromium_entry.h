// One entry of a Chromium-family disk cache as either backend (the Simple
// Cache, the blockfile cache) stores it, before its HTTP layer is read: the
// key, stream 0 (the pickled response info) and where stream 1 (the body)
// lies. Both backends hand their entries, one at a time, to
// AddChromiumEntry, which reads the HTTP layer and decides what becomes a
// response and what is skipped.
#pragma once

#include <optional>
#include <string>

#include "cache/http/stored_response.h"

namespace webhoard {

struct ChromiumEntry {
  std::string key;                           // the cache key as stored
  std::optional<std::string> response_info;  // stream 0; nullopt when it cannot be read
  std::optional<StoredBody> body;            // stream 1; nullopt when missing or empty
  bool finished = true;  // false: still being written (no EOF record; a dirty node)
  bool sparse = false;   // a range entry (sparse data, a "Range_" child)
  bool damaged = false;  // the entry's own records are unreadable
};

// Reads the entry's key and response info and appends a response to
// `read.responses`, or counts the entry as skipped with its reason. Counts
// the entry in `read.entries` either way.
void AddChromiumEntry(ChromiumEntry&& entry, StoredResponses& read);

}  // namespace webhoard
