#include "archive/modern_page_rewriter.h"

#include <optional>
#include <vector>

#include "archive/css_links.h"
#include "archive/modern_links.h"
#include "archive/srcset.h"
#include "common/ascii.h"
#include "common/html_escape.h"

namespace webhoard {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsLetter(char c) {
  return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The value an attribute's text stands for: numeric references and the
// named ones an address can hold. Anything else stays as written.
std::string DecodeEntities(std::string_view text) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}, {"amp", '&'}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      out += text[i];
      continue;
    }
    const std::string_view rest = text.substr(i + 1);
    if (rest.starts_with('#')) {
      const bool hex = rest.size() > 1 && (rest[1] | 0x20) == 'x';
      std::size_t j = hex ? 2 : 1;
      unsigned long code = 0;
      const std::size_t digits_from = j;
      for (; j < rest.size() && j < digits_from + 8; ++j) {
        const char c = static_cast<char>(rest[j] | (hex ? 0x20 : 0));
        if (c >= '0' && c <= '9') {
          code = code * (hex ? 16 : 10) + static_cast<unsigned long>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
          code = code * 16 + static_cast<unsigned long>(c - 'a' + 10);
        } else {
          break;
        }
      }
      if (j > digits_from) {
        AppendUtf8(out, code);
        i += j + (j < rest.size() && rest[j] == ';' ? 1 : 0);
        continue;
      }
    }
    bool named = false;
    for (const auto& [name, c] : kNamed) {
      if (StartsWithNoCase(rest, name)) {
        out += c;
        i += name.size();
        named = true;
        break;
      }
    }
    if (!named) out += '&';
  }
  return out;
}

// Tags whose contents are text up to their own end tag.
constexpr std::string_view kRawTextTags[] = {"script", "style", "textarea", "title", "xmp"};

struct Attribute {
  std::string name;  // lower case
  std::size_t value_start = 0;
  std::size_t value_end = 0;
  char quote = 0;  // '"', '\'' or 0 for none
  bool has_value = false;
};

struct Tag {
  std::string name;  // lower case
  std::vector<Attribute> attributes;
  std::size_t end = 0;  // past the ">"

  const Attribute* Find(std::string_view attribute) const {
    for (const Attribute& a : attributes) {
      if (a.name == attribute) return &a;
    }
    return nullptr;
  }
};

// Reads the start tag whose name begins at `pos` (past the "<"); nothing when
// the page ends before its ">".
std::optional<Tag> ReadTag(std::string_view page, std::size_t pos) {
  const std::size_t n = page.size();
  Tag tag;
  while (pos < n && !IsBlank(page[pos]) && page[pos] != '/' && page[pos] != '>') {
    tag.name += AsciiLower(page[pos++]);
  }
  for (;;) {
    while (pos < n && (IsBlank(page[pos]) || page[pos] == '/')) ++pos;
    if (pos >= n) return std::nullopt;
    if (page[pos] == '>') {
      tag.end = pos + 1;
      return tag;
    }
    Attribute a;
    // A name runs to a blank, "/", ">" or "="; a leading "=" belongs to it.
    do {
      a.name += AsciiLower(page[pos++]);
    } while (pos < n && !IsBlank(page[pos]) && page[pos] != '/' && page[pos] != '>' &&
             page[pos] != '=');
    std::size_t at = pos;
    while (at < n && IsBlank(page[at])) ++at;
    if (at < n && page[at] == '=') {
      ++at;
      while (at < n && IsBlank(page[at])) ++at;
      if (at >= n) return std::nullopt;
      a.has_value = true;
      if (page[at] == '"' || page[at] == '\'') {
        a.quote = page[at];
        const std::size_t close = page.find(a.quote, at + 1);
        if (close == std::string_view::npos) return std::nullopt;
        a.value_start = at + 1;
        a.value_end = close;
        pos = close + 1;
      } else {
        a.value_start = at;
        while (at < n && !IsBlank(page[at]) && page[at] != '>') ++at;
        a.value_end = at;
        pos = at;
      }
    }
    tag.attributes.push_back(std::move(a));
  }
}

struct Edit {
  const Attribute* attribute;
  std::string value;  // decoded
};

class PageRewriter {
 public:
  PageRewriter(std::string_view page, std::string_view page_url, const LinkTargets& targets,
               const LinkOptions& options)
      : page_(page), options_(options), links_(std::string(page_url), targets, options) {
    out_.reserve(page.size() + page.size() / 8);
  }

  std::string Run() {
    const std::size_t n = page_.size();
    while (pos_ < n) {
      const std::size_t open = page_.find('<', pos_);
      if (open == std::string_view::npos) break;
      CopyTo(open + 1);
      if (page_.substr(pos_, 3) == "!--") {
        std::size_t end = comments_end_ ? std::string_view::npos : page_.find("-->", pos_ + 3);
        if (end == std::string_view::npos) {
          comments_end_ = true;
          end = page_.find('>', pos_ + 3);
          CopyTo(end == std::string_view::npos ? n : end + 1);
        } else {
          CopyTo(end + 3);
        }
      } else if (pos_ < n && (page_[pos_] == '!' || page_[pos_] == '?')) {
        const std::size_t end = page_.find('>', pos_);
        CopyTo(end == std::string_view::npos ? n : end + 1);
      } else if (pos_ + 1 < n && page_[pos_] == '/' && IsLetter(page_[pos_ + 1])) {
        EndTag();
      } else if (pos_ < n && IsLetter(page_[pos_])) {
        StartTag();
      }
    }
    CopyTo(n);
    return std::move(out_);
  }

 private:
  void CopyTo(std::size_t end) {
    out_.append(page_.substr(pos_, end - pos_));
    pos_ = end;
  }

  void EndTag() {
    const std::size_t close = page_.find('>', pos_);
    const std::size_t end = close == std::string_view::npos ? page_.size() : close + 1;
    const std::string_view name = page_.substr(pos_ + 1, end - pos_ - 1);
    const bool closes_anchor =
        name.size() >= 2 && (name[0] | 0x20) == 'a' && (IsBlank(name[1]) || name[1] == '>');
    if (closes_anchor && emphasis_open_ && options_.emphasize_links) {
      emphasis_open_ = false;
      if (!options_.de_emphasizing_tag.empty()) {
        out_.append(options_.de_emphasizing_tag).append("><");
      }
    }
    if (closes_anchor && strike_open_ && options_.strikeout_links) {
      strike_open_ = false;
      out_.append("/STRIKE><");
    }
    CopyTo(end);
  }

  void StartTag() {
    std::optional<Tag> tag = ReadTag(page_, pos_);
    if (!tag) return CopyTo(page_.size());
    if (tag->name == "base" && tag->Find("href") != nullptr) {
      const Attribute* href = tag->Find("href");
      links_.SetBase(DecodeEntities(ValueOf(*href)));
      out_.append("!>");
      pos_ = tag->end;
      return;
    }
    LinkFound anchor = LinkFound::kUntouched;
    std::vector<Edit> edits;
    for (const Attribute& a : tag->attributes) {
      if (!a.has_value) continue;
      std::optional<std::string> value = NewValue(*tag, a, anchor);
      if (value) edits.push_back({&a, std::move(*value)});
    }
    for (const Edit& edit : edits) {
      CopyTo(edit.attribute->value_start);
      WriteValue(*edit.attribute, edit.value);
      pos_ = edit.attribute->value_end;
    }
    CopyTo(tag->end);
    if (anchor == LinkFound::kArchived && options_.emphasize_links) {
      if (!options_.emphasizing_tag.empty()) {
        out_.append("<").append(options_.emphasizing_tag).append(">");
      }
      emphasis_open_ = true;
    }
    if (anchor == LinkFound::kMissing && options_.strikeout_links) {
      out_.append("<STRIKE>");
      strike_open_ = true;
    }
    for (const std::string_view raw : kRawTextTags) {
      if (tag->name == raw) return RawText(raw);
    }
  }

  std::string_view ValueOf(const Attribute& a) const {
    return page_.substr(a.value_start, a.value_end - a.value_start);
  }

  // The decoded new value of an attribute, or nothing when it stays.
  std::optional<std::string> NewValue(const Tag& tag, const Attribute& a, LinkFound& anchor) {
    const std::string value = DecodeEntities(ValueOf(a));
    const std::string& t = tag.name;
    const std::string& name = a.name;
    if (name == "style") return ChangedOrNothing(value, RewriteCss(value));
    if (name == "srcset" && (t == "img" || t == "source")) return Srcset(value, t == "source");
    if (t == "meta" && name == "content") return Refresh(tag, value);
    const std::optional<LinkUse> use = UseOf(tag, name);
    if (!use) return std::nullopt;
    const auto link = links_.Rewrite(value, *use);
    if (!link) return std::nullopt;
    if ((t == "a" || t == "area") && name == "href") anchor = link->found;
    return link->text;
  }

  std::optional<LinkUse> UseOf(const Tag& tag, std::string_view name) const {
    const std::string& t = tag.name;
    if (name == "href") {
      if (t == "a" || t == "area" || t == "link") return LinkUse::kNavigation;
    } else if (name == "src") {
      if (t == "img") return LinkUse::kImage;
      if (t == "input") {
        const Attribute* type = tag.Find("type");
        if (type == nullptr || !EqualsNoCase(DecodeEntities(ValueOf(*type)), "image")) {
          return std::nullopt;
        }
        return LinkUse::kImage;
      }
      if (t == "script" || t == "video" || t == "audio" || t == "source" || t == "track" ||
          t == "iframe" || t == "frame" || t == "embed") {
        return LinkUse::kEmbedded;
      }
    } else if (name == "poster") {
      if (t == "video") return LinkUse::kImage;
    } else if (name == "background") {
      if (t == "body") return LinkUse::kImage;
    } else if (name == "data") {
      if (t == "object") return LinkUse::kNavigation;
    }
    return std::nullopt;
  }

  std::optional<std::string> Link(std::string_view url, LinkUse use) const {
    auto link = links_.Rewrite(url, use);
    if (!link) return std::nullopt;
    return std::move(link->text);
  }

  // The browser picks a srcset candidate by the screen's density and the
  // window's width, which differ from the visit's: a candidate not archived
  // is left out while another one is there to show. With none archived, a
  // <picture>'s <source> gets an empty srcset, which the browser passes
  // over for the next source or the <img>; an <img>'s candidates lead to
  // the not-found image.
  std::optional<std::string> Srcset(const std::string& value, bool source) const {
    bool any_shown = false;
    RewriteSrcset(value, [&](std::string_view url) -> std::optional<std::string> {
      const auto link = links_.Rewrite(url, LinkUse::kImage);
      any_shown = any_shown || !link || link->found != LinkFound::kMissing;
      return std::nullopt;
    });
    if (!any_shown && source) return ChangedOrNothing(value, "");
    return ChangedOrNothing(
        value, RewriteSrcset(value, [&](std::string_view url) -> std::optional<std::string> {
          auto link = links_.Rewrite(url, LinkUse::kImage);
          if (!link) return std::nullopt;
          if (link->found == LinkFound::kMissing && any_shown) return std::string();
          return std::move(link->text);
        }));
  }

  std::string RewriteCss(std::string_view css) const {
    return RewriteCssLinks(css, [&](std::string_view url, bool import) {
      return Link(url, import ? LinkUse::kNavigation : LinkUse::kImage);
    });
  }

  static std::optional<std::string> ChangedOrNothing(const std::string& before, std::string after) {
    if (after == before) return std::nullopt;
    return after;
  }

  // A refresh's content ("5; url='next.htm'"): the address after "url="
  // is rewritten, the delay and the rest stay.
  std::optional<std::string> Refresh(const Tag& tag, const std::string& content) const {
    const Attribute* equiv = tag.Find("http-equiv");
    if (equiv == nullptr || !EqualsNoCase(DecodeEntities(ValueOf(*equiv)), "refresh")) {
      return std::nullopt;
    }
    std::size_t at = content.find_first_of(";,");
    if (at == std::string::npos) return std::nullopt;
    ++at;
    while (at < content.size() && IsBlank(content[at])) ++at;
    if (StartsWithNoCase(std::string_view(content).substr(at), "url")) {
      std::size_t eq = at + 3;
      while (eq < content.size() && IsBlank(content[eq])) ++eq;
      if (eq < content.size() && content[eq] == '=') {
        at = eq + 1;
        while (at < content.size() && IsBlank(content[at])) ++at;
      }
    }
    std::size_t end = content.size();
    if (at < end && (content[at] == '"' || content[at] == '\'')) {
      const std::size_t close = content.find(content[at], at + 1);
      ++at;
      if (close != std::string::npos) end = close;
    }
    if (at >= end) return std::nullopt;
    const auto link = Link(std::string_view(content).substr(at, end - at), LinkUse::kNavigation);
    if (!link) return std::nullopt;
    return content.substr(0, at) + *link + content.substr(end);
  }

  // Writes a decoded value escaped for the attribute's quoting; an unquoted
  // value gets double quotes when it holds anything that would end it.
  void WriteValue(const Attribute& a, std::string_view value) {
    if (a.quote == '"') {
      out_ += EscapeQuotedAttribute(value);
    } else if (a.quote == '\'') {
      out_ += EscapeUnquotedAttribute(value);
    } else if (value.empty() || value.find_first_of(" \t\n\f\r\"'=<>`") != std::string::npos) {
      out_.append("\"").append(EscapeQuotedAttribute(value)).append("\"");
    } else {
      out_ += EscapeUnquotedAttribute(value);
    }
  }

  // The contents of a raw text element, up to its end tag.
  void RawText(std::string_view name) {
    const std::size_t n = page_.size();
    std::size_t end = pos_;
    for (;; ++end) {
      end = page_.find("</", end);
      if (end == std::string_view::npos) {
        end = n;
        break;
      }
      const std::size_t after = end + 2 + name.size();
      if (EqualsNoCase(page_.substr(end + 2, name.size()), name) &&
          (after >= n || IsBlank(page_[after]) || page_[after] == '/' || page_[after] == '>')) {
        break;
      }
    }
    if (name == "style") {
      out_ += RewriteCss(page_.substr(pos_, end - pos_));
      pos_ = end;
    } else {
      CopyTo(end);
    }
  }

  std::string_view page_;
  const LinkOptions& options_;
  ModernLinks links_;
  std::size_t pos_ = 0;
  std::string out_;
  bool comments_end_ = false;  // no "-->" is left in the page
  bool emphasis_open_ = false;
  bool strike_open_ = false;
};

}  // namespace

std::string RewriteModernPageText(std::string_view page, std::string_view page_url,
                                  const LinkTargets& targets, const LinkOptions& options) {
  return PageRewriter(page, page_url, targets, options).Run();
}

std::string RewriteStyleSheetText(std::string_view sheet, std::string_view sheet_url,
                                  const LinkTargets& targets, const LinkOptions& options) {
  const ModernLinks links{std::string(sheet_url), targets, options};
  return RewriteCssLinks(
      sheet, [&](std::string_view url, bool import) -> std::optional<std::string> {
        auto link = links.Rewrite(url, import ? LinkUse::kNavigation : LinkUse::kImage);
        if (!link) return std::nullopt;
        return std::move(link->text);
      });
}

}  // namespace webhoard
