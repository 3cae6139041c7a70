// One entry file of Firefox's disk cache (cache2/entries/<40 hex digits>):
// the stored data first (the body as received, then any alternative data
// such as script bytecode), then a big-endian metadata block, then a
// trailer pointing back to where the metadata starts:
//
//   data | hash | chunk hashes | header | key NUL | elements | trailer
//
// The trailer is one word (the metadata offset) in metadata versions 1-3,
// and two words in version 4 ([version][offset]), whose offset word's top bit
// marks an encrypted entry. The metadata hash (lookup2) covers everything
// from the chunk hashes to the end of the elements.
//
// Only the metadata is read, from the end of the file: one read of the last
// 16 KiB at most (a small entry's data in that window is never looked at),
// and a second one only for larger metadata. The body stays where it is,
// and the response names its place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cache/http/stored_response.h"

namespace webhoard {

// The most metadata an entry may have; more is taken for damage rather than
// read into memory. Firefox's own blocks are a few KiB (a TLS state, the
// headers).
inline constexpr std::uint64_t kMaxCache2MetadataSize = 16u << 20;

struct Cache2EntryRead {
  std::optional<StoredResponse> response;  // the page, when the entry is one
  SkipReason skip = SkipReason::kDamaged;  // why not, when `response` is empty
  bool encrypted = false;  // skipped as damaged: readable only with the browser's key
  std::optional<StoredRedirect> redirect;  // skipped as not 200: a redirect
};

// Reads the entry file `path` (opened as a regular file only, never through
// a link). Keeps a GET response with status 200 and a body; skips the rest:
//   not finished  no valid trailer yet (an entry being written ends in
//                 ff..ff), the file changed or vanished while read, or a
//                 body shorter than its Content-Length (a cut download);
//   partial       status 206, or a Content-Range header;
//   not 200       any other status;
//   no body       nothing stored;
//   damaged       unreadable or encrypted metadata, a hash mismatch;
//   not web       a key without an http(s) address, no response head
//                 (predictor and about: entries), or a request other than
//                 GET (a POST's answer is not what the address gives).
//
// The response's time is the metadata's "last modified" time: the browser's
// own clock when it stored the response or last refreshed it (a 304 rewrites
// the stored head). The Date header is the server's clock and only stands in
// when that time is missing; the response time elements are durations in
// milliseconds, not times.
Cache2EntryRead ReadCache2Entry(const std::string& path);

}  // namespace webhoard
