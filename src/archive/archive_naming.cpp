#include "archive/archive_naming.h"

#include <array>

#include "common/ascii.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

// Extensions of the built-in MIME positions 1..72, in their order.
constexpr std::array<std::string_view, 72> kTypeExtensions = {
    "htm", "gif", "jpg", "txt", "rtf", "xbm", "xbm", "jpg", "tif", "ief", "xwd", "bmp",
    "xbm", "xpm", "rgb", "xpm", "xgm", "xbm", "xam", "cmu", "sgi", "avi", "mov", "mpg",
    "avi", "wav", "wav", "aif", "mid", "ra",  "aif", "au",  "doc", "tro", "sh",  "ltx",
    "csh", "rtf", "ps",  "exe", "stf", "bhx", "fra", "zip", "nsp", "js",  "tar", "gtr",
    "gz",  "cmp", "moc", "tcl", "cpi", "shr", "txi", "tex", "dvi", "exe", "msd", "zip",
    "ukn", "wrl", "mid", "mid", "fif", "png", "pdf", "cgi", "cla", "cis", "tvm", "exe"};

bool IsNameCharacter(char c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  switch (c) {
    case '!': case '#': case '$': case '(': case ')': case '.': case '@':
    case '_': case '{': case '}': case '~':
      return true;
    default:
      return false;
  }
}

bool IsStrippedType(int mime_index) { return mime_index >= 1 && mime_index <= 4; }

// The extension a browser needs to read a copy as its type, or none.
std::string_view ExtensionBrowsersNeed(std::string_view mime_type) {
  if (EqualsNoCase(mime_type, "text/css")) return ".css";
  for (const std::string_view script :
       {"text/javascript", "application/javascript", "application/x-javascript", "text/ecmascript",
        "application/ecmascript"}) {
    if (EqualsNoCase(mime_type, script)) return ".js";
  }
  return {};
}

}  // namespace

std::string ExtensionFor(int mime_index) {
  if (mime_index >= 1 && mime_index <= static_cast<int>(kTypeExtensions.size())) {
    return std::string(kTypeExtensions[static_cast<std::size_t>(mime_index - 1)]);
  }
  return "htm";
}

std::string NameFromURL(std::string_view url, int mime_index) {
  std::string link(url);
  LinkForm(link);
  bool force_ext = false;
  bool strip_ext = true;
  if (!link.empty() && link.back() == '/') {
    link.pop_back();
    force_ext = true;
    strip_ext = false;
  }
  const auto slash = link.find_last_of('/');
  std::string segment = slash == std::string::npos ? link : link.substr(slash + 1);
  if (strip_ext && IsStrippedType(mime_index)) {
    const auto dot = segment.find_last_of('.');
    if (dot != std::string::npos) segment.erase(dot);
    force_ext = true;
  }
  std::string cleaned;
  cleaned.reserve(segment.size());
  for (char c : segment) {
    if (IsNameCharacter(c)) cleaned.push_back(c);
  }
  if (cleaned.find('.') == std::string::npos) force_ext = true;
  if (force_ext) cleaned += "." + ExtensionFor(mime_index);
  return CutAt(cleaned, kShortTextLength);
}

std::string NameFromStoredURL(std::string_view url, int mime_index, std::string_view mime_type) {
  // The query makes distinct addresses, but numbered names keep those apart
  // anyway; left in, it would end up in the extension ("logo.pngv2").
  std::string name = NameFromURL(url.substr(0, url.find('?')), mime_index);
  const std::string_view extension = ExtensionBrowsersNeed(mime_type);
  if (extension.empty() || AsciiLower(name).ends_with(extension)) return name;
  // The extension added for want of one goes.
  const std::string added = "." + ExtensionFor(mime_index);
  if (AsciiLower(name).ends_with(added)) name.resize(name.size() - added.size());
  return CutAt(name, kShortTextLength - extension.size()) + std::string(extension);
}

std::string NextNumberedName(std::string_view name) {
  const auto dot = name.find_last_of('.');
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  std::string base(dot == std::string_view::npos ? name : name.substr(0, dot));

  long long number = 0;
  if (base.size() > 3 && base.back() == ')') {
    std::size_t digits_begin = base.size() - 1;
    while (digits_begin > 0 && base[digits_begin - 1] >= '0' && base[digits_begin - 1] <= '9') {
      --digits_begin;
    }
    const std::size_t digit_count = base.size() - 1 - digits_begin;
    // More than 9 digits is no counter this program wrote; leave it alone so
    // the number cannot overflow.
    if (digit_count > 0 && digit_count <= 9 && digits_begin > 0 && base[digits_begin - 1] == '(') {
      number = std::stoll(base.substr(digits_begin, digit_count));
      base.erase(digits_begin - 1);
    }
  }
  const std::string counter = "(" + std::to_string(number + 1) + ")";
  // Keep the counter and the extension whole: shorten the base instead, so
  // that candidates keep changing even at the length limit.
  std::string_view kept_ext = ext.size() + counter.size() > kShortTextLength ? std::string_view() : ext;
  const std::size_t room = kShortTextLength - counter.size() - kept_ext.size();
  if (base.size() > room) base.resize(room);
  return base + counter + std::string(kept_ext);
}

}  // namespace webhoard
