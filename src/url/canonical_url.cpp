// Canonical URLs and domains built from source addresses, shared by the
// cache readers, the catalogue and the index.
#include "url/canonical_url.h"

#include <algorithm>
#include <cstdint>

namespace webhoard {
namespace {

// A domain names a folder below the archive folder. An empty one would put
// the item's files among the archive's own pages, and one made only of dots
// would name the archive folder itself or a folder above it.
bool UsableDomain(std::string_view domain) {
  return std::any_of(domain.begin(), domain.end(), [](char c) { return c != '.'; });
}

std::string DomainOf(std::string_view host) {
  if (host == kNoHost) return std::string(kNoHost);
  std::string domain = CleanDomain(host);
  return UsableDomain(domain) ? domain : std::string(kNoHost);
}

CanonicalUrl Assemble(std::string host, int port, std::string path, bool secure = false) {
  CanonicalUrl result;
  result.domain = DomainOf(host);
  result.host = result.domain == kNoHost ? std::string(kNoHost) : std::move(host);
  result.secure = secure && result.usable();
  result.port = port;
  // The path of both variants starts at the "/" that ended host or port; a
  // refused host leaves nothing, which reads as "/".
  result.path = path.empty() || path.front() != '/' ? "/" + path : std::move(path);
  result.url = (result.secure ? "https://" : "http://") + result.host + ":" + std::to_string(result.port) + result.path;
  return result;
}

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

}  // namespace

CanonicalUrl CanonicalFromLink(std::string_view source) {
  std::string text(UpToNul(source).substr(0, kLinkTextLength));
  std::string rest = text;
  std::string host = TakeHost(rest);
  if (host.find('\\') != std::string::npos) {
    // Browsers read a backslash in an address as a slash. Left in the host it
    // would make a domain that the catalogue, which reads stored addresses
    // that way, could not find again; so the host ends there.
    std::replace(text.begin(), text.end(), '\\', '/');
    rest = text;
    host = TakeHost(rest);
  }
  // Navigator's cache holds ports as unsigned 16-bit numbers.
  const int port = static_cast<std::uint16_t>(TakePort(rest));
  std::string path = TakePath(rest);
  return Assemble(std::move(host), port, std::move(path));
}

CanonicalUrl CanonicalFromStoredUrl(std::string_view source) {
  const bool secure = IsSecureItemUrl(source);
  std::string rest(UpToNul(source));
  std::string host = TakeItemHost(rest);
  const int port = TakeItemPort(rest, secure ? kHttpsPort : kHttpPort);
  std::string path = TakeItemPath(rest);
  return Assemble(std::move(host), port, std::move(path), secure);
}

std::optional<std::string> HttpSpellingOf(std::string_view canonical_url) {
  constexpr std::string_view kSecure = "https://";
  if (!canonical_url.starts_with(kSecure)) return std::nullopt;
  const std::string_view rest = canonical_url.substr(kSecure.size());
  const std::size_t colon = rest.find(':');
  const std::size_t slash = rest.find('/');
  if (colon == std::string_view::npos || slash == std::string_view::npos || slash < colon) {
    return std::nullopt;
  }
  const std::string_view host = rest.substr(0, colon);
  const std::string_view port = rest.substr(colon + 1, slash - colon - 1);
  const std::string_view path = rest.substr(slash);
  const std::string old_port = port == "443" ? "80" : std::string(port);
  return "http://" + std::string(host) + ":" + old_port + std::string(path);
}

std::string DomainOfStoredUrl(std::string_view url) {
  std::string rest(url);
  return DomainOf(TakeItemHost(rest));
}

}  // namespace webhoard
