// Builds Simple Cache folders (Chromium's disk cache on Linux and macOS) for
// tests and benchmarks: the "index" marker file and one "<hash>_0" file per
// entry laid out as the browser writes it (header, key, body, end record,
// pickled response info, key digest, end record), with the checksums and
// key hashes filled in, plus "_s" files for range entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace webhoard::testing {

// A response info (stream 0) as the browser pickles it.
struct ResponseInfoSpec {
  // Status line and header lines, separated by "\n"; stored NUL-separated
  // with the closing empty line.
  std::string head = "HTTP/1.1 200 OK\nContent-Type: text/html";
  std::int64_t request_time = 1'700'000'000;  // Unix seconds
  std::int64_t response_time = 1'700'000'001;
  std::optional<std::int64_t> original_response_time;  // kept after a revalidation
  bool extra_flags = true;                             // the second flags word, written since 2023
  bool truncated = false;                              // a cut-short download the browser kept
  bool vary = false;  // a vary digest after the headers, as for "Vary:" responses
  std::uint32_t version = 3;
};

std::string ResponseInfoPickle(const ResponseInfoSpec& spec);

struct SimpleEntrySpec {
  std::string key;
  ResponseInfoSpec info;
  std::string body;
  bool finished = true;    // false: header, key, body and zero padding, no end records
  bool sparse = false;     // also a "_s" file with one range of the body
  bool key_sha256 = true;  // the key digest before the last end record (zeros: never read)
};

// The name ("<16 hex digits>") of the entry files of `key`. The browser
// derives it from a digest of the key; readers never check that, so the
// fixtures use a cheaper hash.
std::string SimpleEntryHash(std::string_view key);

// The bytes of the entry's "_0" file.
std::string SimpleEntryFile(const SimpleEntrySpec& spec);

// Writes the marker "index" and every entry into `folder` (which exists)
// and answers the paths of the "_0" files, in the order given.
std::vector<std::string> WriteSimpleCache(const std::string& folder,
                                          const std::vector<SimpleEntrySpec>& entries);

}  // namespace webhoard::testing
