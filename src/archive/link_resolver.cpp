#include "archive/link_resolver.h"

#include <algorithm>
#include <vector>

#include "common/ascii.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

// Collapses "/./" to "/", then removes every "/../" together with the
// segment before it ("/../" at the very start becomes "/").
void NormalizeDots(std::string& path) {
  for (std::size_t at = path.find("/./"); at != std::string::npos; at = path.find("/./", at)) {
    path.erase(at, 2);
  }
  for (std::size_t at = path.find("/../"); at != std::string::npos; at = path.find("/../")) {
    if (at == 0) {
      path.erase(0, 3);
      continue;
    }
    std::size_t segment = path.rfind('/', at - 1);
    if (segment == std::string::npos) segment = 0;
    path.erase(segment, at + 3 - segment);
  }
}

// The length of the scheme before a ":" at the start of `url` (letters,
// then letters, digits, "+", "-", "."), or 0 without one.
std::size_t SchemeLength(std::string_view url) {
  std::size_t i = 0;
  const auto is_letter = [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; };
  while (i < url.size() &&
         (is_letter(url[i]) || (i > 0 && ((url[i] >= '0' && url[i] <= '9') || url[i] == '+' ||
                                          url[i] == '-' || url[i] == '.')))) {
    ++i;
  }
  return i > 0 && i < url.size() && url[i] == ':' ? i : 0;
}

// Removes "." and ".." segments from an absolute path ("/a/./b/../c" is
// "/a/c"; ".." never climbs above the root).
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  std::size_t pos = 1;  // past the leading "/"
  bool ends_in_folder = false;
  while (pos <= path.size()) {
    const std::size_t slash = std::min(path.find('/', pos), path.size());
    const std::string_view segment = path.substr(pos, slash - pos);
    const bool last = slash == path.size();
    if (segment == "..") {
      if (!kept.empty()) kept.pop_back();
      ends_in_folder = last;
    } else if (segment == ".") {
      ends_in_folder = last;
    } else {
      kept.push_back(segment);
      ends_in_folder = false;
    }
    pos = slash + 1;
  }
  std::string out;
  for (const std::string_view segment : kept) out.append("/").append(segment);
  if (ends_in_folder || out.empty()) out += '/';
  return out;
}

}  // namespace

std::string BaseOf(std::string_view url) {
  std::string base(StartsWithNoCase(url, "HTTP://") ? url.substr(7) : url);
  const std::size_t slash = base.rfind('/');
  if (slash != std::string::npos && base.back() != '/') base.resize(slash + 1);
  return base;
}

std::string ResolveLink(std::string_view link, std::string_view base) {
  if (StartsWithNoCase(link, "#") || StartsWithNoCase(link, "NEWS:") ||
      StartsWithNoCase(link, "MAILTO:")) {
    return {};
  }
  std::string r(link.substr(0, link.find('#')));
  // An https link, or a relative one on an https page, names an https
  // address; the rest is taken apart as an http one.
  bool secure = false;
  if (StartsWithNoCase(r, "HTTP//")) {
    r.insert(4, 1, ':');
  } else if (StartsWithNoCase(r, "HTTPS://")) {
    r.erase(4, 1);
    secure = true;
  }
  if (r.find("://") == std::string::npos) {
    if (StartsWithNoCase(r, "HTTP:")) r.erase(0, 5);
    std::string_view page_base = base;
    if (StartsWithNoCase(page_base, "HTTPS://")) {
      page_base.remove_prefix(8);
      secure = true;
    }
    const std::string_view root =
        !r.empty() && r.front() == '/' ? page_base.substr(0, page_base.find('/')) : page_base;
    std::string joined = "http://";
    joined.append(root).append(r);
    r = CutAt(joined, kLinkTextLength);
  }
  if (!StartsWithNoCase(r, "HTTP://")) return r;
  const std::string host = TakeHost(r);
  const bool port_given = !r.empty() && r.front() == ':';
  int port = TakePort(r);
  if (secure && !port_given) port = kHttpsPort;
  std::string path = TakePath(r);
  NormalizeDots(path);
  return CutAt((secure ? "https://" : "http://") + host + ":" + std::to_string(port) + path,
               kLinkTextLength);
}

std::optional<std::string> ResolveModernLink(std::string_view link, std::string_view base) {
  std::string rest(link.substr(0, link.find('#')));
  if (rest.empty()) return std::nullopt;
  const std::size_t base_scheme = SchemeLength(base);
  if (base_scheme == 0 || base.substr(base_scheme, 3) != "://") return std::nullopt;
  std::string scheme = AsciiLower(base.substr(0, base_scheme));
  if (const std::size_t own = SchemeLength(rest); own > 0) {
    scheme = AsciiLower(std::string_view(rest).substr(0, own));
    if (scheme != "http" && scheme != "https") return std::nullopt;
    rest.erase(0, own + 1);
  }
  const std::size_t query = std::min(rest.find('?'), rest.size());
  std::replace(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(query), '\\', '/');

  // The base taken apart: authority, path (from its first "/"), query.
  const std::string_view after_scheme = base.substr(base_scheme + 3);
  const std::size_t base_path_at = std::min(after_scheme.find_first_of("/?"), after_scheme.size());
  std::string authority(after_scheme.substr(0, base_path_at));
  std::string_view base_path = after_scheme.substr(base_path_at);
  base_path = base_path.substr(0, base_path.find('?'));
  if (base_path.empty()) base_path = "/";

  std::string path;  // with the query
  if (rest.starts_with("//")) {
    const std::size_t end = std::min(rest.find_first_of("/?", 2), rest.size());
    authority = rest.substr(2, end - 2);
    path = rest.substr(end);
  } else if (rest.starts_with("/")) {
    path = rest;
  } else if (rest.starts_with("?")) {
    path = std::string(base_path) + rest;
  } else {
    path = std::string(base_path.substr(0, base_path.rfind('/') + 1)) + rest;
  }
  if (authority.empty()) return std::nullopt;
  const std::size_t path_end = std::min(path.find('?'), path.size());
  const std::string path_part = path_end == 0 ? "/" : path.substr(0, path_end);
  return scheme + "://" + authority + RemoveDotSegments(path_part) + path.substr(path_end);
}

}  // namespace webhoard
