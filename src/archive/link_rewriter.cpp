#include "archive/link_rewriter.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "archive/archive_layout.h"
#include "archive/link_resolver.h"
#include "archive/modern_page_rewriter.h"
#include "archive/page_title.h"
#include "archive/stored_body_copy.h"
#include "cache/mime_types.h"
#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/regular_file.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

constexpr std::size_t kTagTextLength = 255;  // bytes of a tag examined
constexpr std::size_t kWordLength = 20;      // characters of a word compared
constexpr std::size_t kFragmentLength = 50;  // characters of a kept "#fragment"
constexpr std::size_t kShortestLinkTag = 9;  // "A HREF=x>"

constexpr std::array<std::string_view, 17> kLinkTags = {
    "A",    "IMG",  "AREA",  "BODY",  "INPUT", "FRAME", "IFRAME", "APPLET", "BGSOUND",
    "META", "BASE", "EMBED", "TABLE", "TD",    "TH",    "TR",     "OBJECT"};
constexpr std::array<std::string_view, 9> kLinkAttributes = {
    "HREF", "SRC", "BACKGROUND", "CODE", "CONTENT", "DYNSOURCE", "LOWSRC", "DATA", "USEMAP"};

template <std::size_t N>
bool OneOf(std::string_view word, const std::array<std::string_view, N>& list) {
  for (std::string_view entry : list) {
    if (entry == word) return true;
  }
  return false;
}

bool IsImageAttribute(std::string_view word) {
  return word == "SRC" || word == "USEMAP" || word == "LOWSRC" || word == "BACKGROUND";
}

bool IsWordByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b == '!' || (b >= '#' && b <= ';') || (b >= '?' && b <= '~');
}

// The next word at or after `pos` (upper-cased, cut to 20 characters);
// `pos` moves past it, or to the end of the tag when there is none.
std::string NextWord(std::string_view tag, std::size_t& pos) {
  const std::size_t limit = tag.empty() ? 0 : tag.size() - 1;
  while (pos < limit && !IsWordByte(tag[pos])) ++pos;
  if (pos >= limit) {
    pos = tag.size();
    return {};
  }
  const std::size_t start = pos;
  while (pos < limit && IsWordByte(tag[pos])) ++pos;
  return AsciiUpper(tag.substr(start, std::min(pos - start, kWordLength)));
}

std::string FirstWord(std::string_view tag) {
  std::size_t pos = 0;
  return NextWord(tag, pos);
}

struct Value {
  std::string text;       // without its control bytes
  std::size_t start = 0;  // first byte of the value in the tag
  std::size_t end = 0;    // the byte that ended it (or the tag's size)
};

bool EndsValue(char c) {
  return c == ' ' || c == '"' || c == '<' || c == '>';
}

// The value at or after `pos`; `pos` moves to its end.
Value ReadValue(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && !IsWordByte(text[pos]) && text[pos] != '"') ++pos;
  if (pos < text.size() && text[pos] == '"') ++pos;
  Value value;
  value.start = pos;
  while (pos < text.size() && !EndsValue(text[pos])) {
    if (static_cast<unsigned char>(text[pos]) >= 32) value.text.push_back(text[pos]);
    ++pos;
  }
  value.end = pos;
  return value;
}

// The position in `tag` of the character `index` of a value that started at
// `start`, counting only the bytes the value kept.
std::size_t TagPositionOf(std::string_view tag, std::size_t start, std::size_t end,
                          std::size_t index) {
  std::size_t pos = start;
  for (std::size_t counted = 0; pos < end && counted < index; ++pos) {
    if (static_cast<unsigned char>(tag[pos]) >= 32) ++counted;
  }
  return pos;
}

// A refresh's CONTENT ("0;URL=next.htm"): the link after "URL" becomes the
// archive link; the delay and "URL=" stay. Answers the change in length.
std::ptrdiff_t RewriteRefresh(std::string& tag, const Value& value, const std::string& base,
                              const LinkTargets& targets) {
  const std::size_t url_word = AsciiUpper(value.text).find("URL");
  if (url_word == std::string::npos) return 0;
  const std::string rest = value.text + ">";
  std::size_t pos = url_word + 3;
  const Value link = ReadValue(rest, pos);
  const std::string archived = ArchiveLinkFor(ResolveLink(link.text, base), targets);
  if (archived.empty()) return 0;
  const std::size_t from = link.start >= value.text.size()
                               ? value.end
                               : TagPositionOf(tag, value.start, value.end, link.start);
  tag.replace(from, value.end - from, archived);
  return static_cast<std::ptrdiff_t>(archived.size()) -
         static_cast<std::ptrdiff_t>(value.end - from);
}

}  // namespace

std::string RewriteTag(std::string tag, std::string& base, const LinkTargets& targets,
                       const LinkOptions& options, TagFlags& flags) {
  std::size_t pos = 0;
  const std::string name = NextWord(tag, pos);
  if (!OneOf(name, kLinkTags)) return tag;
  while (pos < tag.size()) {
    const std::string word = NextWord(tag, pos);
    if (!OneOf(word, kLinkAttributes)) continue;
    Value value = ReadValue(tag, pos);
    if (name == "META") {
      if (word != "CONTENT") continue;
      const std::size_t refresh = AsciiUpper(tag).find("REFRESH");
      if (refresh != std::string::npos && refresh >= value.end) continue;
      pos = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(pos) +
                                     RewriteRefresh(tag, value, base, targets));
      continue;
    }
    if (name == "BASE" && word == "HREF") {
      base = CutAt(BaseOf(value.text), kShortTextLength);
      return "!>";
    }
    if (word == "CONTENT" || value.text.empty()) continue;
    if (value.text.front() == '#' || StartsWithNoCase(value.text, "MAILTO:")) continue;

    std::string fragment;
    std::string link = value.text;
    if (word == "HREF" || word == "USEMAP") {
      const std::size_t hash = link.find('#');
      if (hash != std::string::npos) {
        fragment = CutAt(std::string_view(link).substr(hash), kFragmentLength);
        link.resize(hash);
      }
    }
    const std::string resolved = ResolveLink(link, base);
    std::string target = ArchiveLinkFor(resolved, targets);
    const bool missing = target == kNotFoundPageLink;
    if (!fragment.empty() && !missing) target += fragment;

    if (IsImageAttribute(word)) {
      if (missing && word == "SRC" && name != "FRAME" && name != "IFRAME" && name != "EMBED") {
        target = kNotFoundImageLink;
      }
    } else if (word != "CODE") {
      const bool anchor_link = name == "A" && word == "HREF";
      if (missing) {
        if (anchor_link) flags.target_missing = true;
        if (options.show_original_urls) {
          target = resolved;
          LinkForm(target);
        }
      } else if (anchor_link) {
        flags.target_archived = true;
      }
    }
    if (word == "DATA" && !(name == "OBJECT" && !StartsWithNoCase(link, "DATA:"))) target.clear();
    if (name == "INPUT" && word != "SRC") target.clear();
    if (!target.empty()) {
      tag.replace(value.start, value.end - value.start, target);
      pos = value.start + target.size();
    }
  }
  return tag;
}

std::string RewritePageText(std::string_view page, std::string_view page_url,
                            const LinkTargets& targets, const LinkOptions& options) {
  const std::size_t n = page.size();
  std::string out;
  out.reserve(n + n / 8);
  std::string base = CutAt(BaseOf(page_url), kShortTextLength);
  bool emphasis_pending = false;
  bool strike_open = false;
  bool comment_detection = true;
  std::size_t pos = 0;
  while (pos < n) {
    const std::size_t open = page.find('<', pos);
    if (open == std::string_view::npos) {
      out.append(page.substr(pos));
      break;
    }
    out.append(page.substr(pos, open + 1 - pos));
    pos = open + 1;

    std::string tag;
    while (pos < n && tag.size() < kTagTextLength) {
      const char c = page[pos++];
      tag.push_back(c);
      if (c == '-' && tag == "!--") {
        out.append("!--");
        tag.clear();
        if (comment_detection) {
          const std::size_t end = page.find("-->", pos);
          if (end == std::string_view::npos) {
            comment_detection = false;
          } else {
            out.append(page.substr(pos, end + 3 - pos));
            pos = end + 3;
          }
        }
        if (!comment_detection) {
          const std::size_t close = page.find('>', pos);
          const std::size_t stop = close == std::string_view::npos ? n : close + 1;
          out.append(page.substr(pos, stop - pos));
          pos = stop;
        }
        break;
      }
      if (c == '>') break;
    }

    TagFlags flags;
    if (tag.size() >= kShortestLinkTag) {
      tag = RewriteTag(std::move(tag), base, targets, options, flags);
    } else if (!tag.empty()) {
      const bool closes_anchor = FirstWord(tag) == "/A";
      if (emphasis_pending && options.emphasize_links && closes_anchor) {
        emphasis_pending = false;
        if (!options.de_emphasizing_tag.empty()) {
          tag = options.de_emphasizing_tag + "><" + tag;
        }
      }
      if (strike_open && options.strikeout_links && closes_anchor) {
        strike_open = false;
        tag = "/STRIKE><" + tag;
      }
    }
    out.append(tag);
    if (options.emphasize_links && flags.target_archived) {
      if (!options.emphasizing_tag.empty()) {
        out.append("<").append(options.emphasizing_tag).append(">");
      }
      emphasis_pending = true;
    }
    if (options.strikeout_links && flags.target_missing) {
      out.append("<STRIKE>");
      strike_open = true;
    }
  }
  return out;
}

namespace {

enum class TextKind { kPage, kStyleSheet };

// Reads an item's text, rewrites it by its kind and writes its archived copy.
bool RewriteItemText(TCacheItem& item, TextKind kind, const std::string& archive_folder,
                     const LinkTargets& targets, const LinkOptions& options, std::string* error,
                     bool* stored_undecoded) {
  auto fail = [&](std::string message) {
    if (error != nullptr) *error = std::move(message);
    return false;
  };
  std::string page;
  bool undecoded = false;
  if (item.Body) {
    const BodyCopyResult read = ReadStoredBody(*item.Body, page);
    if (read.outcome == BodyCopyOutcome::kFailed) return fail(read.reason);
    undecoded = read.outcome == BodyCopyOutcome::kStored;
  } else {
    if (!FileExists(item.LocalFile)) return true;
    // The cached page is read only as a regular file, never through a link.
    int read_error = 0;
    auto bytes = ReadRegularFile(item.LocalFile, SIZE_MAX, &read_error);
    if (!bytes) return fail("cannot read " + item.LocalFile + ": " + ErrnoText(read_error));
    page = std::move(*bytes);
  }
  if (stored_undecoded != nullptr) *stored_undecoded = undecoded;
  if (!undecoded && kind == TextKind::kPage) item.Title = PageTitleOf(page);
  const auto target = ArchivePathOf(archive_folder, item);
  if (!target) return fail("no archive path for " + item.URL);
  std::string rewritten;
  if (undecoded) {
    rewritten = std::move(page);
  } else if (kind == TextKind::kStyleSheet) {
    rewritten = RewriteStyleSheetText(page, item.URL, targets, options);
  } else if (options.modern_pages) {
    rewritten = RewriteModernPageText(page, item.URL, targets, options);
  } else {
    rewritten = RewritePageText(page, item.URL, targets, options);
  }
  // Written beside its place under a hidden name that archive names do not
  // take in practice, then renamed over the old copy in one step.
  namespace fs = std::filesystem;
  const fs::path final_path(*target);
  // Cut so that the partial name stays a valid file name for long archive
  // names too; pages are written one at a time, so a shared prefix is no clash.
  const fs::path partial =
      final_path.parent_path() / (".~" + CutAt(item.ArchiveName, 200) + ".part");
  std::error_code ec;
  fs::create_directories(final_path.parent_path(), ec);
  {
    errno = 0;
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(rewritten.data(), static_cast<std::streamsize>(rewritten.size()));
    out.close();
    if (!out) {
      // The stream keeps no reason of its own; the system's is in errno.
      const int reason = errno;
      fs::remove(partial, ec);
      return fail("cannot write " + *target + ": " +
                  (reason != 0 ? ErrnoText(reason) : std::string("write failed")));
    }
  }
  fs::rename(partial, final_path, ec);
  if (ec) {
    fs::remove(partial, ec);
    return fail("cannot replace " + *target + ": " + ec.message());
  }
  return true;
}

}  // namespace

bool RewritePage(TCacheItem& item, const std::string& archive_folder, const LinkTargets& targets,
                 const LinkOptions& options, std::string* error, bool* stored_undecoded) {
  return RewriteItemText(item, TextKind::kPage, archive_folder, targets, options, error,
                         stored_undecoded);
}

bool IsRewrittenItem(const TCacheItem& item, const LinkOptions& options) {
  if (item.MimeIndex == kMimeIndexHtml) return true;
  return options.modern_pages && EqualsNoCase(MimeTypeName(item.MimeIndex), "text/css");
}

bool RewriteStyleSheet(TCacheItem& item, const std::string& archive_folder,
                       const LinkTargets& targets, const LinkOptions& options, std::string* error,
                       bool* stored_undecoded) {
  return RewriteItemText(item, TextKind::kStyleSheet, archive_folder, targets, options, error,
                         stored_undecoded);
}

}  // namespace webhoard
