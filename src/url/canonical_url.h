// Canonical URLs: the one form every item URL has, whatever its scheme was,
// and the domain that names an item's folder in the archive.
//
// Canonical URL: "http://" + lower-case host + ":" + port + path, or for an
// https address "https://" + host + ":" + port (443 by default) + path, so
// that an http and an https copy of one page are two items. Look-ups compare
// canonical URLs exactly. Archives written before https addresses kept their
// scheme hold them as "http://host:80/..." (HttpSpellingOf). The cache readers build them from source
// addresses; the catalogue and the index find an item's domain again from
// its stored URL.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "url/url_utils.h"

namespace webhoard {

// A source address taken apart the way the cache readers do.
//
// The domain becomes a folder name below the archive folder, so a domain
// that is empty or made only of dots (".", "..", ...) is no domain: such an
// address gets the host "NONE" like an unsupported scheme, and the readers
// drop it. For a usable address `domain` is always what
// DomainOfStoredUrl(url) answers, so a catalogue record read back later
// finds its file in the same folder.
struct CanonicalUrl {
  std::string host;  // lower case, or "NONE"
  int port = 80;
  std::string path;    // begins with "/"
  bool secure = false;  // an https address
  std::string url;     // "http://" (or "https://") + host + ":" + port + path
  std::string domain;  // CleanDomain(host), or "NONE"
  bool usable() const { return host != kNoHost; }
};

// Link variant, for Navigator's cache index. The source is a NUL-terminated
// text: it ends at its first NUL byte, and only 255 characters are read. The
// port is taken as an unsigned 16-bit number (-1 gives 65535). A backslash in
// the host part ends the host, as it does for the stored-URL variant.
CanonicalUrl CanonicalFromLink(std::string_view source);
// Stored-URL variant, for Internet Explorer's cache and today's browsers'
// caches; the port stays a signed 32-bit number. https addresses keep their
// scheme.
CanonicalUrl CanonicalFromStoredUrl(std::string_view source);
// The canonical URL an https address had in archives written before https
// kept its scheme: "https://host:443/p" was "http://host:80/p", and
// "https://host:8443/p" was "http://host:8443/p". Nothing for other URLs.
std::optional<std::string> HttpSpellingOf(std::string_view canonical_url);
// CleanDomain(TakeItemHost(copy of url)): the Domain of a catalogue record;
// "NONE" where the canonical builders would refuse the domain.
std::string DomainOfStoredUrl(std::string_view url);

}  // namespace webhoard
