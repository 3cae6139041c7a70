#include "cache/http/response_head.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "common/ascii.h"

namespace webhoard {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// Where the line starting the text ends: the first CR, LF or NUL, or npos.
// A plain loop: find_first_of asks memchr once per byte, which made heads
// the costliest part of listing a Firefox cache.
std::size_t LineEnd(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n' || text[i] == '\0') return i;
  }
  return std::string_view::npos;
}

// Calls `line` for each line of the head until the first empty one; stops
// early when it answers false.
template <typename LineFunction>
void ForEachLine(std::string_view head, LineFunction line) {
  while (!head.empty()) {
    const std::size_t end = LineEnd(head);
    std::string_view text = head.substr(0, end);
    if (end == std::string_view::npos) {
      head = {};
    } else {
      // "\r\n" is one line end; a lone "\r", "\n" or NUL is one too.
      const std::size_t skip = head.compare(end, 2, "\r\n") == 0 ? 2 : 1;
      head.remove_prefix(end + skip);
    }
    if (text.empty() || !line(text)) return;
  }
}

// "HTTP/1.1 200 OK" → 200; also "HTTP/2 200" and a bare "200 OK".
int StatusOf(std::string_view line) {
  if (StartsWithNoCase(line, "HTTP/")) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return 0;
    line.remove_prefix(space + 1);
  }
  line = Trimmed(line);
  if (line.size() < 3) return 0;
  int status = 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (line[i] < '0' || line[i] > '9') return 0;
    status = status * 10 + (line[i] - '0');
  }
  if (line.size() > 3 && line[3] != ' ') return 0;
  return status;
}

std::string MediaType(std::string_view value) {
  return AsciiLower(Trimmed(value.substr(0, value.find(';'))));
}

int MonthOf(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (EqualsNoCase(name, kMonths[i])) return static_cast<int>(i) + 1;
  }
  return 0;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t year_of_era = year - era * 400;
  const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t day_of_era =
      year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

bool Number(std::string_view text, int digits_min, int digits_max, int& value) {
  if (text.size() < static_cast<std::size_t>(digits_min) ||
      text.size() > static_cast<std::size_t>(digits_max)) {
    return false;
  }
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// "08:49:37"
bool TimeOfDay(std::string_view text, int& hour, int& minute, int& second) {
  return text.size() == 8 && text[2] == ':' && text[5] == ':' &&
         Number(text.substr(0, 2), 2, 2, hour) && Number(text.substr(3, 2), 2, 2, minute) &&
         Number(text.substr(6, 2), 2, 2, second) && hour < 24 && minute < 60 && second < 61;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) break;
    text.remove_prefix(first);
    const std::size_t end = text.find_first_of(kBlanks);
    words.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end);
  }
  return words;
}

bool ValidDay(int year, int month, int day) {
  static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[static_cast<std::size_t>(month - 1)]) {
    return false;
  }
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month != 2 || day <= 28 || leap;
}

}  // namespace

std::optional<std::string> HeaderValue(std::string_view head, std::string_view name) {
  std::optional<std::string> found;
  bool status_line = true;
  ForEachLine(head, [&](std::string_view line) {
    if (status_line) {
      status_line = false;
      if (line.find(':') == std::string_view::npos || StartsWithNoCase(line, "HTTP/")) return true;
    }
    const std::size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsNoCase(Trimmed(line.substr(0, colon)), name)) {
      found = std::string(Trimmed(line.substr(colon + 1)));
      return false;
    }
    return true;
  });
  return found;
}

ResponseHead ParseResponseHead(std::string_view head) {
  ResponseHead parsed;
  ForEachLine(head, [&](std::string_view line) {
    parsed.status = StatusOf(line);
    return false;
  });
  if (const auto type = HeaderValue(head, "Content-Type")) parsed.content_type = MediaType(*type);
  if (const auto encoding = HeaderValue(head, "Content-Encoding")) {
    parsed.content_encoding = AsciiLower(*encoding);
    if (parsed.content_encoding == "identity") parsed.content_encoding.clear();
  }
  if (const auto date = HeaderValue(head, "Date")) parsed.date = ParseHttpDate(*date);
  if (const auto modified = HeaderValue(head, "Last-Modified")) {
    parsed.last_modified = ParseHttpDate(*modified);
  }
  return parsed;
}

std::optional<std::int64_t> ParseHttpDate(std::string_view text) {
  const std::vector<std::string_view> words = Words(text);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool read = false;
  if (words.size() == 6 && words[0].ends_with(',') && EqualsNoCase(words[5], "GMT")) {
    // Sun, 06 Nov 1994 08:49:37 GMT
    month = MonthOf(words[2]);
    read = Number(words[1], 1, 2, day) && month != 0 && Number(words[3], 4, 4, year) &&
           TimeOfDay(words[4], hour, minute, second);
  } else if (words.size() == 4 && words[0].ends_with(',') && EqualsNoCase(words[3], "GMT")) {
    // Sunday, 06-Nov-94 08:49:37 GMT
    const std::string_view date = words[1];
    if (date.size() == 9 && date[2] == '-' && date[6] == '-') {
      month = MonthOf(date.substr(3, 3));
      read = Number(date.substr(0, 2), 2, 2, day) && month != 0 &&
             Number(date.substr(7, 2), 2, 2, year) && TimeOfDay(words[2], hour, minute, second);
      year += year < 70 ? 2000 : 1900;
    }
  } else if (words.size() == 5) {
    // Sun Nov  6 08:49:37 1994
    month = MonthOf(words[1]);
    read = month != 0 && Number(words[2], 1, 2, day) && TimeOfDay(words[3], hour, minute, second) &&
           Number(words[4], 4, 4, year);
  }
  if (!read || !ValidDay(year, month, day)) return std::nullopt;
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<std::string> RedirectLocation(int status, std::string_view head) {
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) {
    return std::nullopt;
  }
  std::optional<std::string> location = HeaderValue(head, "Location");
  if (location && location->empty()) return std::nullopt;
  return location;
}

}  // namespace webhoard
