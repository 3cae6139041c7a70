#include "cli/json_line.h"

#include <cstdio>

namespace webhoard::cli {
namespace {

// The length of the valid UTF-8 sequence at text[i] (shortest form, no
// surrogates, at most U+10FFFF), or 0 when the byte does not start one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const unsigned char next = byte(i + k);
    if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

void AppendEscapedByte(std::string& out, unsigned char byte) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
  out += escaped;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, i);
      if (length == 0) {
        AppendEscapedByte(out, byte);
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (byte) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        // DEL too: no control byte reaches a terminal that shows the line.
        if (byte < 0x20 || byte == 0x7F) {
          AppendEscapedByte(out, byte);
        } else {
          out.push_back(static_cast<char>(byte));
        }
    }
    ++i;
  }
  return out + "\"";
}

void JsonLine::Key(std::string_view key) {
  if (!fields_.empty()) fields_ += ",";
  fields_ += JsonString(key) + ":";
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view value) {
  Key(key);
  fields_ += JsonString(value);
  return *this;
}

JsonLine& JsonLine::Number(std::string_view key, std::int64_t value) {
  Key(key);
  fields_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::Size(std::string_view key, std::optional<std::uint64_t> value) {
  Key(key);
  fields_ += value ? std::to_string(*value) : "null";
  return *this;
}

}  // namespace webhoard::cli
