#include "cache/chromium/chromium_key.h"

#include "common/ascii.h"

namespace webhoard {
namespace {

// A decimal field of at most 19 digits (so it fits in 64 bits).
std::optional<std::uint64_t> DecimalField(std::string_view text) {
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

bool IsWebUrl(std::string_view url) {
  const std::size_t after_scheme = url.find("://");
  if (after_scheme == std::string_view::npos || after_scheme + 3 == url.size()) return false;
  const std::string_view scheme = url.substr(0, after_scheme);
  if (!EqualsNoCase(scheme, "http") && !EqualsNoCase(scheme, "https")) return false;
  // A URL in a key never holds blanks or control bytes; one that does is
  // the end of some other kind of key.
  for (const char c : url) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7f) return false;
  }
  return true;
}

}  // namespace

std::optional<ChromiumKey> ParseChromiumKey(std::string_view key) {
  ChromiumKey parts;
  std::string_view rest = key;
  // "<credential>/<upload id>/": both decimal, which no URL starts with.
  const std::size_t first = rest.find('/');
  if (first != std::string_view::npos && DecimalField(rest.substr(0, first))) {
    const std::size_t second = rest.find('/', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    const std::optional<std::uint64_t> upload =
        DecimalField(rest.substr(first + 1, second - first - 1));
    if (!upload) return std::nullopt;
    parts.upload_id = *upload;
    rest.remove_prefix(second + 1);
  }
  // "_dk_", "_dk_s_", "_dk_cn_" and the isolation key's sites: the URL is
  // what follows the last space, as the sites never hold one.
  if (rest.starts_with("_dk_")) {
    const std::size_t space = rest.rfind(' ');
    if (space == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(space + 1);
  }
  if (!IsWebUrl(rest)) return std::nullopt;
  parts.url = std::string(rest);
  return parts;
}

}  // namespace webhoard
