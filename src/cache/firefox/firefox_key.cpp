#include "cache/firefox/firefox_key.h"

#include <cstddef>

#include "common/ascii.h"

namespace webhoard {
namespace {

// Where the tag starting at `pos` ends: just past its closing ",", which is
// the first "," not doubled; npos when the key ends first.
std::size_t SkipTag(std::string_view key, std::size_t pos) {
  for (std::size_t i = pos + 1; i < key.size(); ++i) {
    if (key[i] != ',') continue;
    if (i + 1 < key.size() && key[i + 1] == ',') {
      ++i;  // a comma inside the value
      continue;
    }
    return i + 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<std::string> FirefoxKeyUrl(std::string_view key) {
  std::size_t pos = 0;
  while (pos < key.size() && key[pos] != ':') {
    pos = SkipTag(key, pos);
    if (pos == std::string_view::npos) return std::nullopt;
  }
  if (pos >= key.size()) return std::nullopt;
  const std::string_view url = key.substr(pos + 1);
  const std::size_t host = StartsWithNoCase(url, "http://")    ? 7
                           : StartsWithNoCase(url, "https://") ? 8
                                                               : 0;
  if (host == 0 || host == url.size()) return std::nullopt;
  return std::string(url);
}

}  // namespace webhoard
