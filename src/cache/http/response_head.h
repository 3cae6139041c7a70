// The stored head of an HTTP response: its status line and header lines, as
// the browsers keep them (Firefox separates lines with "\r\n", Chromium with
// NUL bytes and ends with an empty line).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

struct ResponseHead {
  int status = 0;                    // 0 when the status line is unreadable
  std::string content_type;          // media type, lower case, parameters dropped
  std::string content_encoding;      // lower case, "" for none or "identity"
  std::optional<std::int64_t> date;  // the Date header, Unix seconds
  std::optional<std::int64_t> last_modified;
};

// Reads a head whose lines end in "\r\n", "\n" or NUL; reading stops at the
// first empty line. Never fails: what cannot be read stays empty.
ResponseHead ParseResponseHead(std::string_view head);

// The value of the first header `name` (any case) in a head as above,
// without surrounding blanks; nullopt when there is none.
std::optional<std::string> HeaderValue(std::string_view head, std::string_view name);

// The redirect a response with this head and status is, if it is one: a
// status of 301, 302, 303, 307 or 308 with a non-empty Location.
std::optional<std::string> RedirectLocation(int status, std::string_view head);

// An HTTP date in any of the three forms servers send ("Sun, 06 Nov 1994
// 08:49:37 GMT", "Sunday, 06-Nov-94 08:49:37 GMT", "Sun Nov  6 08:49:37
// 1994"), as Unix seconds; nullopt when it is none of them.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

}  // namespace webhoard
