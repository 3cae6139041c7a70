#include "archive/link_resolver.h"

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
  if (StartsWithNoCase(r, "HTTP//")) {
    r.insert(4, 1, ':');
  } else if (StartsWithNoCase(r, "HTTPS://")) {
    r.erase(4, 1);
  }
  if (r.find("://") == std::string::npos) {
    if (StartsWithNoCase(r, "HTTP:")) r.erase(0, 5);
    const std::string_view root =
        !r.empty() && r.front() == '/' ? base.substr(0, base.find('/')) : base;
    std::string joined = "http://";
    joined.append(root).append(r);
    r = CutAt(joined, kLinkTextLength);
  }
  if (!StartsWithNoCase(r, "HTTP://")) return r;
  const std::string host = TakeHost(r);
  const int port = TakePort(r);
  std::string path = TakePath(r);
  NormalizeDots(path);
  return CutAt("http://" + host + ":" + std::to_string(port) + path, kLinkTextLength);
}

}  // namespace webhoard
