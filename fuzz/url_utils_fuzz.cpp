// Addresses from cache indexes, catalogue records and web pages are
// untrusted bytes. Every way of taking them apart must hold the canonical
// shape: "http://" (or "https://") + host + ":" + port + path with the path
// starting at "/", a domain that is safe as one folder name, and a catalogue
// domain that agrees with the domain the item was archived under.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "url/canonical_url.h"
#include "url/url_utils.h"

namespace {

void Fail(int line) {
  std::fprintf(stderr, "url_utils_fuzz: check at line %d failed\n", line);
  std::abort();
}
#define Check(condition)              \
  do {                                \
    if (!(condition)) Fail(__LINE__); \
  } while (false)

bool KeptInDomain(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'()-.@^_`{}~").find(c) != std::string_view::npos;
}

bool OnlyDots(std::string_view text) {
  return text.find_first_not_of('.') == std::string_view::npos;
}

void CheckCanonical(const webhoard::CanonicalUrl& c) {
  const std::string scheme = c.secure ? "https://" : "http://";
  Check(!c.path.empty() && c.path.front() == '/');
  Check(c.url == scheme + c.host + ":" + std::to_string(c.port) + c.path);
  Check(c.url.find('\0') == std::string::npos);
  Check(c.domain.size() <= 255);
  Check(!OnlyDots(c.domain));  // also never empty
  for (const char ch : c.domain) Check(KeptInDomain(ch));
  Check(c.usable() == (c.domain != webhoard::kNoHost));
  // Unusable addresses are dropped by the readers and never stored.
  if (c.usable()) Check(webhoard::DomainOfStoredUrl(c.url) == c.domain);
  // A canonical URL read again as a stored one is itself; an https one
  // also has the http spelling older archives gave it.
  if (c.usable()) Check(webhoard::CanonicalFromStoredUrl(c.url).url == c.url);
  Check(webhoard::HttpSpellingOf(c.url).has_value() == c.secure);
}

// The same bytes read as a sequence of address pieces, so that plain random
// input also reaches the scheme, request-line and port rules.
std::string AsPieces(const std::uint8_t* data, std::size_t size) {
  // clang-format off
  static constexpr std::string_view kPieces[] = {
      "http://", "HTTPS://", "ftp://", "file://", "gopher://", "news:", "news://", "mailto:",
      "MAILTO://", "visited:", "Cookie:", "GET ", "POST ", "HEAD ", " HTTP/1.0", "HTTP/1.0",
      "http/1.0", "/", "\\", ":", ".", "..", "a", "Host", "NONE", "8080", "80", "-1", "+",
      "65616", "99999999999", " ", "\t", std::string_view("\0", 1), "\x80", "\xff", "?", "#",
      "<", "%2e", "@", "~"};
  // clang-format on
  constexpr std::size_t kCount = sizeof(kPieces) / sizeof(kPieces[0]);
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += kPieces[data[i] % kCount];
  return text;
}

void CheckAll(const std::string& input) {
  const webhoard::CanonicalUrl link = webhoard::CanonicalFromLink(input);
  CheckCanonical(link);
  Check(link.port >= 0 && link.port <= 65535);
  CheckCanonical(webhoard::CanonicalFromStoredUrl(input));

  std::string link_form = input;
  webhoard::LinkForm(link_form);
  Check(link_form.size() <= 255);
  const std::string item_link_form = webhoard::ItemLinkForm(input);
  Check(item_link_form.find('\0') == std::string::npos);

  for (const char ch : webhoard::CleanDomain(input)) Check(KeptInDomain(ch));
  Check(webhoard::LastSegment(input).size() <= 255);
  Check(webhoard::LastSegment(input).find('/') == std::string::npos);

  std::string trimmed = input;
  webhoard::TrimBlanks(trimmed);
  Check(trimmed.empty() || (static_cast<unsigned char>(trimmed.front()) > 32 &&
                            static_cast<unsigned char>(trimmed.back()) > 32));

  // Each step leaves the rest in the shape the next step expects.
  std::string rest = input;
  webhoard::TakeHost(rest);
  Check(rest.empty() || rest.front() == '/' || rest.front() == ':');
  webhoard::TakePort(rest);
  Check(rest.empty() || rest.front() == '/');
  Check(webhoard::TakePath(rest).front() == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckAll(std::string(reinterpret_cast<const char*>(data), size));
  CheckAll(AsPieces(data, size));
  return 0;
}
