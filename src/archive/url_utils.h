// Canonical URLs and the small text operations around them.
//
// Canonical URL: "http://" + lower-case host + ":" + port + path; every item
// URL has this form whatever its scheme was, and look-ups compare canonical
// URLs exactly. "NONE" is the host of an address that cannot be used.
//
// Two variants take an address apart: the link variant (texts of at most 255
// characters; cache index of Navigator, link resolution) and the stored-URL
// variant (texts of any length; Internet Explorer cache, catalogue records,
// index pages). They differ in the schemes they accept.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

inline constexpr std::string_view kNoHost = "NONE";

// Link variant. Each Take* step removes what it took from `text`.
std::string TakeHost(std::string& text);
int TakePort(std::string& text);
std::string TakePath(std::string_view text);
void LinkForm(std::string& url);

// Stored-URL variant.
std::string TakeItemHost(std::string& text);
int TakeItemPort(std::string& text);
std::string TakeItemPath(std::string_view text);
std::string ItemLinkForm(std::string_view url);

// Keeps the characters a host may bring into a folder name; drops the rest.
std::string CleanDomain(std::string_view host);
// The text after the last "/" (all of it without one), cut at 255 characters.
std::string LastSegment(std::string_view text);
// Removes leading and trailing characters of code 32 and below.
void TrimBlanks(std::string& text);
// Copies a file, replacing the target. Answers whether it worked (callers in
// the archive run ignore failures, as they always have).
bool CopyArchiveFile(const std::string& source, const std::string& target);

// A source address taken apart the way the cache readers do.
struct CanonicalUrl {
  std::string host;    // lower case, or "NONE"
  int port = 80;
  std::string path;    // begins with "/"
  std::string url;     // "http://" + host + ":" + port + path
  std::string domain;  // CleanDomain(host)
  bool usable() const { return host != kNoHost; }
};

CanonicalUrl CanonicalFromLink(std::string_view source);        // link variant
CanonicalUrl CanonicalFromStoredUrl(std::string_view source);   // stored-URL variant
// CleanDomain(TakeItemHost(copy of url)): the Domain of a catalogue record.
std::string DomainOfStoredUrl(std::string_view url);

}  // namespace webhoard
