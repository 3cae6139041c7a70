// Turning a link found in an archived page into the canonical URL it names.
//
// A page's base is its address without "http://" and without the file name
// ("host:80/docs/" for http://host:80/docs/index.htm); relative links are
// resolved against it and absolute ones are taken apart with the link
// variant of the URL utilities, so that a link and a cache item naming the
// same page agree byte for byte on the canonical URL. The base of an https
// page keeps its "https://" ("https://host:443/docs/"), and links resolved
// against it are https addresses. Like every text of the
// link variant, bases and resolved links are short texts (255 characters).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

// The base of a page URL: a leading "http://" (any case) removed and the
// text cut after its last "/" unless it ends with "/". An "https://" stays.
std::string BaseOf(std::string_view url);

// The canonical URL ("http://host:port/path", or "https://host:port/path"
// with 443 by default) a link names, relative to `base`; another absolute URL
// unchanged when its scheme is not HTTP(S); empty for fragment-only, "news:"
// and "mailto:" links. The fragment is dropped, "/./" collapses and "/x/../"
// steps back. The slip "http//" is read as "http://".
std::string ResolveLink(std::string_view link, std::string_view base);

// For pages of today's web: the absolute address a link names, resolved the
// way browsers do against the absolute address `base` ("http://host:80/a/b"
// or "https://..."): "//host/x", "/x", "?q" and "x" forms, the query kept,
// "." and ".." segments removed from the path only, backslashes before the
// query read as slashes, the fragment dropped. The scheme is the link's own
// or the base's. Nothing (the link stays as written) for links with another
// scheme (data:, javascript:, mailto:, ...) and for fragment-only or empty
// links.
std::optional<std::string> ResolveModernLink(std::string_view link, std::string_view base);

}  // namespace webhoard
