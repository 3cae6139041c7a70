// Stream 0 of a Chromium cache entry: the response info the browser pickled
// (flags, times, the status line and headers, then certificates, the
// connection and more). Only the leading fields up to the header string are
// read; their layout has stayed put while the later fields grew.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

struct ResponseInfo {
  std::uint32_t flags = 0;
  std::int64_t request_time = 0;   // Unix seconds (UTC)
  std::int64_t response_time = 0;  // Unix seconds: the last response, a 304 included
  // When the stored body first arrived; kept by newer browsers only, and
  // older than response_time after a revalidation.
  std::optional<std::int64_t> original_response_time;
  // Status line and header lines, each ended by a NUL, then an empty line.
  std::string headers;
  bool truncated = false;  // the browser kept a cut-short body (a cancelled download)
};

// Reads the pickle, or nullopt when its size field, flags or fields do not
// fit in `pickle` or its version is unknown.
std::optional<ResponseInfo> ParseResponseInfo(std::string_view pickle);

// Chromium's times count microseconds from 1601-01-01 UTC.
std::int64_t UnixSecondsFromChromiumTime(std::int64_t microseconds);

}  // namespace webhoard
