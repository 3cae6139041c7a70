// What the readers of today's browser caches (the Chromium family, Firefox)
// hand on for each entry worth archiving: the address, the parts of the
// stored response the item list needs, and where the body lies on disk.
// Bodies are never read while a cache is listed; the archive run reads the
// byte range when it copies, and decodes it then.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace webhoard {

// A body as the browser stored it: `length` bytes from `offset` in `file`,
// still in its Content-Encoding ("" for none, else "gzip", "deflate", "br",
// ..., lower case).
struct StoredBody {
  std::string file;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::string content_encoding;
  // The CRC-32 (zlib's) the cache keeps of the stored bytes, checked when
  // the body is copied; nullopt when the cache keeps none.
  std::optional<std::uint32_t> crc32;
};

struct StoredResponse {
  std::string url;           // the request address from the cache key, https kept
  int status = 0;            // from the stored status line
  std::string content_type;  // media type only ("text/html"), lower case; "" when none
  std::int64_t time = 0;     // when the response arrived, Unix seconds (UTC)
  StoredBody body;
};

// Why an entry of a cache is not an item. The readers count each one.
enum class SkipReason {
  kNotFinished,  // still being written, or cut short (a cancelled download)
  kNotOk,        // a status other than 200 (redirects, 304s, errors)
  kNoBody,       // no body stored, or its stream is missing
  kPartial,      // a range (sparse) entry or a 206 response
  kChecksum,     // the body fails the checksum the cache keeps
  kDamaged,      // the entry's records cannot be read
  kNotWeb,       // an address that is no http or https page (internal keys, data:)
  kUnavailable,  // its headers lie in a file the cache folder lacks
};
inline constexpr std::size_t kSkipReasonCount = 8;

// Lower-case words for the summary: "not finished", "not 200", ...
std::string_view SkipReasonWords(SkipReason reason);

// What a reader found: the responses to archive, in the order the cache
// gives them, and the count of everything else.
// A redirect the cache holds (status 301, 302, 303, 307 or 308 with a
// Location): never archived itself, but a link to its address can lead to
// the copy of the page it pointed to.
struct StoredRedirect {
  std::string url;       // the redirected address
  std::string location;  // the Location header as sent (maybe relative)
};

struct StoredResponses {
  std::vector<StoredResponse> responses;
  std::vector<StoredRedirect> redirects;  // also counted as skipped "not 200"
  std::uint64_t entries = 0;  // every entry met, kept or skipped
  std::array<std::uint64_t, kSkipReasonCount> skipped{};
  // Problems worth telling the user once (a damaged index, a missing file).
  std::vector<std::string> notes;

  void Skip(SkipReason reason) { ++skipped[static_cast<std::size_t>(reason)]; }
  std::uint64_t SkippedCount() const;
  // "12 not finished, 3 not 200" (reasons with a count only), or "".
  std::string SkippedWords() const;
};

}  // namespace webhoard
