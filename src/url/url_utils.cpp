// Taking addresses apart: the two variants of host, port and path, the link
// form, and the small text helpers around them.
#include "url/url_utils.h"

#include <algorithm>
#include <climits>
#include <initializer_list>

#include "common/ascii.h"

namespace webhoard {
namespace {

// Request lines stored as cache keys end in the protocol version, always
// written in upper case.
constexpr std::string_view kHttp10 = "HTTP/1.0";
constexpr std::string_view kBlankHttp10 = " HTTP/1.0";


bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [text](std::string_view prefix) { return StartsWithNoCase(text, prefix); });
}

void RemovePrefix(std::string& text, std::string_view prefix) {
  if (StartsWithNoCase(text, prefix)) text.erase(0, prefix.size());
}

void SlashesForBackslashes(std::string& text) {
  std::replace(text.begin(), text.end(), '\\', '/');
}

// A stored URL is a NUL-terminated text: nothing after a NUL byte belongs to it.
std::string_view UpToNul(std::string_view text) {
  return text.substr(0, std::min(text.find('\0'), text.size()));
}

// Step shared by both variants once the prefixes are gone: the host runs to
// the first "/" or ":"; the rest stays in `text`.
std::string SplitHost(std::string& text) {
  const std::size_t end = text.find_first_of("/:");
  std::string host;
  if (end == std::string::npos) {
    host = AsciiLower(text);
    text.clear();
  } else {
    host = AsciiLower(std::string_view(text).substr(0, end));
    text.erase(0, end);
  }
  return host.empty() ? std::string(kNoHost) : host;
}

// A strict decimal number: optional sign, at least one digit, nothing else,
// within the range of a 32-bit signed integer.
bool ParsePortNumber(std::string_view digits, int& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
    negative = digits[i] == '-';
    ++i;
  }
  if (i == digits.size()) return false;
  // The magnitude may reach INT_MAX + 1, the size of INT_MIN; stop beyond it.
  long long magnitude = 0;
  for (; i < digits.size(); ++i) {
    const char c = digits[i];
    if (c < '0' || c > '9') return false;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > static_cast<long long>(INT_MAX) + 1) return false;
  }
  const long long signed_value = negative ? -magnitude : magnitude;
  if (signed_value > INT_MAX || signed_value < INT_MIN) return false;
  value = static_cast<int>(signed_value);
  return true;
}

// A request line's protocol version stands apart from the address, after a
// blank. The same letters inside a path ("/Protocols/HTTP/1.0/spec.html")
// are part of the address: cutting there would give two different pages one
// canonical URL.
void CutAtRequestVersion(std::string& text) {
  for (std::size_t at = text.find(kHttp10); at != std::string::npos;
       at = text.find(kHttp10, at + 1)) {
    if (at == 0 || static_cast<unsigned char>(text[at - 1]) <= 32) {
      text.erase(at);
      return;
    }
  }
}

int TakePortOf(std::string& text, int default_port) {
  if (text.empty() || text.front() != ':') return default_port;
  const std::size_t slash = text.find('/');
  const std::string_view digits =
      std::string_view(text).substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
  int port = default_port;
  if (!ParsePortNumber(digits, port)) port = default_port;
  if (slash == std::string::npos) {
    text.clear();
  } else {
    text.erase(0, slash);
  }
  return port;
}

std::string TakePathOf(std::string_view text) {
  std::string path(text);
  TrimBlanks(path);
  if (path.empty()) return "/";
  SlashesForBackslashes(path);
  return path;
}

}  // namespace

void TrimBlanks(std::string& text) {
  const auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  const auto first = std::find_if_not(text.begin(), text.end(), is_blank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), is_blank).base();
  if (first >= last) {
    text.clear();
    return;
  }
  text.assign(first, last);
}

// ---- Link variant -------------------------------------------------------

std::string TakeHost(std::string& text) {
  if (text.size() > kLinkTextLength) text.resize(kLinkTextLength);
  TrimBlanks(text);
  RemovePrefix(text, "POST ");
  RemovePrefix(text, "HEAD ");
  RemovePrefix(text, "GET ");
  CutAtRequestVersion(text);
  if (StartsWithAny(text, {"FILE://", "GOPHER://", "HTTPS://", "NEWS:", "MAILTO:"})) {
    text.clear();
    return std::string(kNoHost);
  }
  if (StartsWithNoCase(text, "HTTP://")) {
    text.erase(0, 7);
  } else if (StartsWithNoCase(text, "FTP://")) {
    text.erase(0, 6);
  }
  return SplitHost(text);
}

int TakePort(std::string& text) {
  if (text.size() > kLinkTextLength) text.resize(kLinkTextLength);
  return TakePortOf(text, kHttpPort);
}

std::string TakePath(std::string_view text) {
  return TakePathOf(text.substr(0, kLinkTextLength));
}

void LinkForm(std::string& url) {
  if (url.size() > kLinkTextLength) url.resize(kLinkTextLength);
  const bool secure = StartsWithNoCase(url, "HTTPS://");
  // The link variant refuses https; the rest of such an address reads as http.
  std::string rest = secure ? "http://" + url.substr(8) : url;
  const std::string host = TakeHost(rest);
  const int port = TakePortOf(rest, secure ? kHttpsPort : kHttpPort);
  const std::string path = TakePath(rest);
  if (host == kNoHost) return;
  if (!secure && port == kHttpPort) url = CutAt("http://" + host + path, kLinkTextLength - 1);
  if (secure && port == kHttpsPort) url = CutAt("https://" + host + path, kLinkTextLength - 1);
}

// ---- Stored-URL variant -------------------------------------------------

std::string TakeItemHost(std::string& text) {
  text.resize(UpToNul(text).size());
  TrimBlanks(text);
  if (const std::size_t version = text.find(kBlankHttp10); version != std::string::npos) {
    text.erase(version);
  }
  if (StartsWithNoCase(text, "GET ")) {
    text.erase(0, 4);
  } else if (StartsWithNoCase(text, "POST ") || StartsWithNoCase(text, "HEAD ")) {
    text.erase(0, 5);
  }
  if (StartsWithAny(text, {"FTP://", "FILE://", "GOPHER://", "NEWS://",
                           "VISITED:", "COOKIE:", "MAILTO://"})) {
    text.clear();
    return std::string(kNoHost);
  }
  // Two separate tests, as stored addresses have always been read:
  // "http://https://host/" loses both prefixes.
  RemovePrefix(text, "HTTP://");
  RemovePrefix(text, "HTTPS://");
  SlashesForBackslashes(text);
  return SplitHost(text);
}

int TakeItemPort(std::string& text, int default_port) {
  text.resize(UpToNul(text).size());
  return TakePortOf(text, default_port);
}

std::string TakeItemPath(std::string_view text) {
  return TakePathOf(UpToNul(text));
}

std::string ItemLinkForm(std::string_view url) {
  const std::string_view whole = UpToNul(url);
  const bool secure = IsSecureItemUrl(whole);
  std::string rest(whole);
  const std::string host = TakeItemHost(rest);
  const int port = TakeItemPort(rest, secure ? kHttpsPort : kHttpPort);
  const std::string path = TakeItemPath(rest);
  if (host == kNoHost) return std::string(whole);
  if (!secure && port == kHttpPort) return "http://" + host + path;
  if (secure && port == kHttpsPort) return "https://" + host + path;
  return std::string(whole);
}

bool IsSecureItemUrl(std::string_view url) {
  std::string text(UpToNul(url));
  TrimBlanks(text);
  std::string_view rest = text;
  for (const std::string_view method : {"GET ", "POST ", "HEAD "}) {
    if (StartsWithNoCase(rest, method)) {
      rest.remove_prefix(method.size());
      break;
    }
  }
  return StartsWithNoCase(rest, "HTTPS://");
}

// ---- Text helpers -------------------------------------------------------

std::string CleanDomain(std::string_view host) {
  const auto kept = [](char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    switch (c) {
      case '!':
      case '#':
      case '$':
      case '%':
      case '&':
      case '\'':
      case '(':
      case ')':
      case '-':
      case '.':
      case '@':
      case '^':
      case '_':
      case '`':
      case '{':
      case '}':
      case '~':
        return true;
      default:
        return false;
    }
  };
  std::string domain;
  for (const char c : host.substr(0, kShortTextLength)) {
    if (kept(c)) domain.push_back(c);
  }
  return domain;
}

std::string LastSegment(std::string_view text) {
  const std::size_t slash = text.rfind('/');
  const std::string_view segment = slash == std::string_view::npos ? text : text.substr(slash + 1);
  return CutAt(segment, kShortTextLength);
}

}  // namespace webhoard
