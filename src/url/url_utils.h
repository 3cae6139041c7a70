// Taking source addresses apart, and the small text operations around them.
// The cache readers, the catalogue, the link rewriting and the index all read
// addresses through these helpers (canonical_url.h builds on them).
//
// "NONE" is the host of an address that cannot be used.
//
// Two variants take an address apart: the link variant (texts of at most 255
// characters; cache index of Navigator, link resolution) and the stored-URL
// variant (texts of any length; Internet Explorer cache, catalogue records,
// index pages). They differ in the schemes they accept:
//
//   prefix (any case)      link variant          stored-URL variant
//   "HTTP://"              removed, host follows removed, host follows
//   "HTTPS://"             NONE                  removed, host follows
//   "FTP://"               removed, host follows NONE
//   "FILE://", "GOPHER://" NONE                  NONE
//   "NEWS:", "MAILTO:"     NONE                  not a scheme (text is the host)
//   "NEWS://", "MAILTO://" NONE                  NONE
//   "VISITED:", "COOKIE:"  not a scheme          NONE
//
// An "https://" address keeps its scheme through both variants' canonical
// and link forms (its default port is 443), so that an http and an https copy
// of one page stay two items. The link variant's Take* steps still refuse
// it: callers that accept https (canonical_url.h, link resolution) say so.
//
// Request lines stored as cache keys ("GET http://host/x HTTP/1.0") are
// accepted by both variants: the address ends before a protocol version that
// stands apart after a blank (the link variant takes any character of code 32
// or below as the blank). The version is matched in upper case only, as
// request lines write it. Inside a path, "HTTP/1.0" or "http/1.0" is an
// ordinary part of the address and stays.
//
// The stored-URL variant works on NUL-terminated texts: a NUL byte inside
// its argument ends the text there. The link variant keeps NUL bytes as
// ordinary characters but never looks past the first 255 characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace webhoard {

inline constexpr std::string_view kNoHost = "NONE";
// Texts of the link variant are short strings.
inline constexpr std::size_t kLinkTextLength = 255;
inline constexpr int kHttpPort = 80;
inline constexpr int kHttpsPort = 443;

// Link variant. Each Take* step removes what it took from `text` (which is
// first cut to 255 characters).
std::string TakeHost(std::string& text);
// The port after a leading ":" (80 without one, or when the digits are not a
// 32-bit signed decimal number); removes the colon and the number.
int TakePort(std::string& text);
// The rest of the address, "/" when blank; backslashes become slashes.
std::string TakePath(std::string_view text);
// "http://" + host + path when the port is 80 and the host usable (cut to
// 254 characters); "https://" + host + path for an https address on port
// 443; otherwise the URL unchanged (cut to 255 characters).
void LinkForm(std::string& url);

// Stored-URL variant.
std::string TakeItemHost(std::string& text);
// The port after a leading ":"; `default_port` without one or when the
// digits are no 32-bit signed decimal number.
int TakeItemPort(std::string& text, int default_port = kHttpPort);
std::string TakeItemPath(std::string_view text);
// The link form of a stored URL, as LinkForm but for texts of any length.
std::string ItemLinkForm(std::string_view url);
// Whether a stored address (after a request line's method) is an "https://"
// one. "http://https://host/" is not: it has always been read as http.
bool IsSecureItemUrl(std::string_view url);

// Keeps the characters a host may bring into a folder name; drops the rest.
// Only the first 255 characters of `host` are looked at (a domain is a short
// text). The result may be empty, "." or ".."; the canonical builders
// (canonical_url.h) refuse such domains.
std::string CleanDomain(std::string_view host);
// The text after the last "/" (all of it without one), cut at 255 characters.
std::string LastSegment(std::string_view text);
// Removes leading and trailing characters of code 32 and below.
void TrimBlanks(std::string& text);

}  // namespace webhoard
