// Taking a body out of a cache file for the archive: its byte range only
// (the file also holds the entry's other records, or other entries), its
// checksum checked, decoded when its Content-Encoding can be undone and
// otherwise kept as the cache stored it, so nothing is lost.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "cache/http/content_decoding.h"
#include "cache/http/stored_response.h"

namespace webhoard {

enum class BodyCopyOutcome {
  kDecoded,  // the body itself (a body without encoding included)
  kStored,   // the bytes as the cache holds them: the encoding could not be undone
  kFailed,   // nothing usable: unreadable, a failed checksum, a failed write
};

struct BodyCopyResult {
  BodyCopyOutcome outcome = BodyCopyOutcome::kFailed;
  // kStored: why it was not decoded; kFailed: the file and the reason.
  std::string reason;
  bool write_failed = false;  // kFailed because the sink refused bytes: the sink knows why
};

// Writes `body`, read from the open `file`, to `sink`. When decoding fails
// partway, `restart` must empty the sink (false when it cannot), and the
// stored bytes are written instead. The checksum, when the cache keeps one,
// is taken over the stored bytes as they are read.
BodyCopyResult WriteStoredBody(const StoredBody& body, std::FILE* file, BodySink& sink,
                               const std::function<bool()>& restart);

// The body in memory (a page to rewrite), from its file opened only as a
// regular file.
BodyCopyResult ReadStoredBody(const StoredBody& body, std::string& out);

}  // namespace webhoard
