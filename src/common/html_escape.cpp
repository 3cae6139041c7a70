#include "common/html_escape.h"

namespace webhoard {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void AppendNumericReference(std::string& out, unsigned char c) {
  out += "&#";
  out += std::to_string(static_cast<unsigned>(c));
  out += ';';
}

// Copies `value`, replacing each byte for which `replace` answers true.
template <typename NeedsEscape, typename Escape>
std::string EscapeWith(std::string_view value, NeedsEscape needs, Escape escape) {
  std::string out;
  out.reserve(value.size());
  for (const char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (needs(c)) {
      escape(out, c);
    } else {
      out += ch;
    }
  }
  return out;
}

}  // namespace

std::string EscapeText(std::string_view value) {
  return EscapeWith(
      value, [](unsigned char c) { return c == '<' || c == '>'; },
      [](std::string& out, unsigned char c) { out += c == '<' ? "&lt;" : "&gt;"; });
}

std::string EscapeUnquotedAttribute(std::string_view value) {
  return EscapeWith(
      value,
      [](unsigned char c) {
        switch (c) {
          case '&':
          case '"':
          case '\'':
          case '<':
          case '>':
          case ' ':
          case '\t':
          case '\n':
          case '\f':
          case '\r':
            return true;
          default:
            return false;
        }
      },
      AppendNumericReference);
}

std::string EscapeQuotedAttribute(std::string_view value) {
  return EscapeWith(
      value, [](unsigned char c) { return c == '&' || c == '"'; },
      [](std::string& out, unsigned char c) { out += c == '&' ? "&amp;" : "&quot;"; });
}

std::string EscapeScriptInAttribute(std::string_view value) {
  return EscapeWith(
      value,
      [](unsigned char c) {
        return c < 0x20 || c == 0x7F || c == '\'' || c == '"' || c == '\\' || c == '&' ||
               c == '<' || c == '>';
      },
      [](std::string& out, unsigned char c) {
        out += "\\x";
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
      });
}

std::string EncodeLinkComponent(std::string_view component) {
  return EscapeWith(
      component,
      [](unsigned char c) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
          return false;
        }
        switch (c) {
          case '-':
          case '.':
          case '_':
          case '~':
          case '(':
          case ')':
          case '!':
            return false;
          default:
            return true;
        }
      },
      [](std::string& out, unsigned char c) {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0x0F];
      });
}

}  // namespace webhoard
