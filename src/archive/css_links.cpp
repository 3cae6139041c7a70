#include "archive/css_links.h"

#include "common/ascii.h"

namespace webhoard {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsNameByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' ||
         b == '_' || b == '\\' || b >= 0x80;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

std::size_t SkipBlanks(std::string_view css, std::size_t pos) {
  while (pos < css.size() && IsBlank(css[pos])) ++pos;
  return pos;
}

// The end (past the closing quote) of the string whose quote is at `pos`,
// or npos when a line break or the end of the text comes first.
std::size_t StringEnd(std::string_view css, std::size_t pos) {
  const char quote = css[pos];
  for (++pos; pos < css.size(); ++pos) {
    if (css[pos] == '\\') {
      ++pos;
    } else if (css[pos] == quote) {
      return pos + 1;
    } else if (css[pos] == '\n' || css[pos] == '\r' || css[pos] == '\f') {
      return std::string_view::npos;
    }
  }
  return std::string_view::npos;
}

// The address a link's text stands for: "\x" escapes of other than hex
// digits are the character itself. Nothing when the text holds a hex
// escape, which is too rare in addresses to be worth reading.
std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
    } else if (i + 1 < text.size() && IsHexDigit(text[i + 1])) {
      return std::nullopt;
    } else if (i + 1 < text.size() && text[i + 1] != '\n') {
      out += text[++i];
    } else {
      ++i;  // an escaped line break continues the string
    }
  }
  return out;
}

// `url` written as a string between `quote`s.
std::string Quoted(std::string_view url, char quote) {
  std::string out(1, quote);
  for (const char c : url) {
    if (c == quote || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n' || c == '\r' || c == '\f') {
      out += "\\a ";
    } else {
      out += c;
    }
  }
  return out += quote;
}

// `url` written unquoted inside url( ), or quoted when it holds a byte that
// would end or break it there.
std::string UnquotedOrQuoted(std::string_view url) {
  for (const char c : url) {
    if (IsBlank(c) || c == '"' || c == '\'' || c == '(' || c == ')' || c == '\\' ||
        static_cast<unsigned char>(c) < 0x20) {
      return Quoted(url, '"');
    }
  }
  return std::string(url);
}

class CssScanner {
 public:
  CssScanner(std::string_view css, const CssLinkRewrite& rewrite) : css_(css), rewrite_(rewrite) {
    out_.reserve(css.size());
  }

  std::string Run() {
    while (pos_ < css_.size()) {
      if (css_.substr(pos_, 2) == "/*") {
        const std::size_t end = css_.find("*/", pos_ + 2);
        CopyTo(end == std::string_view::npos ? css_.size() : end + 2);
      } else if (css_[pos_] == '"' || css_[pos_] == '\'') {
        const std::size_t end = StringEnd(css_, pos_);
        CopyTo(end == std::string_view::npos ? css_.size() : end);
      } else if (StartsWithNoCase(css_.substr(pos_), "@import")) {
        CopyTo(SkipBlanks(css_, pos_ + 7));
        if (pos_ < css_.size() && (css_[pos_] == '"' || css_[pos_] == '\'')) ImportString();
      } else if (StartsWithNoCase(css_.substr(pos_), "url(") &&
                 (pos_ == 0 || !IsNameByte(css_[pos_ - 1]))) {
        Url();
      } else {
        CopyTo(pos_ + 1);
      }
    }
    return std::move(out_);
  }

 private:
  void CopyTo(std::size_t end) {
    out_.append(css_.substr(pos_, end - pos_));
    pos_ = end;
  }

  // The quoted string at pos_ after an @import.
  void ImportString() {
    const std::size_t end = StringEnd(css_, pos_);
    if (end == std::string_view::npos) return CopyTo(css_.size());
    const char quote = css_[pos_];
    const auto replaced = Replace(css_.substr(pos_ + 1, end - pos_ - 2), true);
    if (replaced) {
      out_ += Quoted(*replaced, quote);
      pos_ = end;
    } else {
      CopyTo(end);
    }
  }

  // "url(" at pos_.
  void Url() {
    const std::size_t open = pos_ + 4;
    std::size_t at = SkipBlanks(css_, open);
    std::size_t value_end = 0;
    std::size_t close = std::string_view::npos;
    std::string_view value;
    char quote = 0;
    if (at < css_.size() && (css_[at] == '"' || css_[at] == '\'')) {
      quote = css_[at];
      value_end = StringEnd(css_, at);
      if (value_end != std::string_view::npos) {
        value = css_.substr(at + 1, value_end - at - 2);
        close = SkipBlanks(css_, value_end);
      }
    } else {
      value_end = at;
      while (value_end < css_.size() && css_[value_end] != ')' && !IsBlank(css_[value_end]) &&
             css_[value_end] != '"' && css_[value_end] != '\'' && css_[value_end] != '(') {
        ++value_end;
      }
      value = css_.substr(at, value_end - at);
      close = SkipBlanks(css_, value_end);
    }
    if (close >= css_.size() || css_[close] != ')') return CopyTo(open);
    const auto replaced = Replace(value, false);
    if (!replaced) return CopyTo(close + 1);
    CopyTo(at);
    out_ += quote != 0 ? Quoted(*replaced, quote) : UnquotedOrQuoted(*replaced);
    pos_ = value_end;
    CopyTo(close + 1);
  }

  std::optional<std::string> Replace(std::string_view text, bool import) {
    const auto url = Unescaped(text);
    if (!url || url->empty()) return std::nullopt;
    return rewrite_(*url, import);
  }

  std::string_view css_;
  const CssLinkRewrite& rewrite_;
  std::size_t pos_ = 0;
  std::string out_;
};

}  // namespace

std::string RewriteCssLinks(std::string_view css, const CssLinkRewrite& rewrite) {
  return CssScanner(css, rewrite).Run();
}

}  // namespace webhoard
