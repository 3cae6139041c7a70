#include "platform/regedit_format.h"

#include <cstdint>
#include <vector>

#include "common/ascii.h"

namespace webhoard {
namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

// Blanks around the parts of a line; a stray CR counts as one.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// UTF-16LE to single bytes; nullopt when a character does not fit in one.
std::optional<std::string> NarrowUtf16(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    if (bytes[i + 1] != '\0') return std::nullopt;
    out.push_back(bytes[i]);
  }
  return out;
}

std::string WidenUtf16(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// Reads a quoted string starting at text[0] == '"'. Answers the decoded
// string and the rest of the text after the closing quote.
std::optional<std::pair<std::string, std::string_view>> ReadQuoted(std::string_view text) {
  if (text.empty() || text.front() != '"') return std::nullopt;
  std::string out;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') return std::make_pair(std::move(out), text.substr(i + 1));
    if (c == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      if (next == '\\' || next == '"') {
        out.push_back(next);
      } else {
        // Not an escape this format knows: keep both characters as written.
        out.push_back('\\');
        out.push_back(next);
      }
      continue;
    }
    out.push_back(c);
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes of a "hex...:" value body ("41,42,\<newline>  00"), or nullopt.
std::optional<std::string> HexBytes(std::string_view body) {
  std::string out;
  int high = -1;
  bool need_comma = false;
  for (char c : body) {
    if (IsBlank(c) || c == '\\' || c == '\n' || c == '\r') continue;
    if (c == ',') {
      if (!need_comma || high >= 0) return std::nullopt;
      need_comma = false;
      continue;
    }
    const int digit = HexDigit(c);
    if (digit < 0 || need_comma) return std::nullopt;
    if (high < 0) {
      high = digit;
    } else {
      out.push_back(static_cast<char>(high * 16 + digit));
      high = -1;
      need_comma = true;
    }
  }
  if (high >= 0) return std::nullopt;
  return out;
}

struct Parser {
  RegistryTree tree;
  std::optional<std::string> key;  // the current key; none after a deletion
  bool in_key_section = false;     // a section has been met (values allowed)
  // A value of another type whose lines are still being collected.
  std::optional<std::string> pending_name;
  std::string pending_raw;

  void FinishPending() {
    if (!pending_name) return;
    // A continuation mark with nothing after it (end of file, blank line)
    // continues nothing.
    while (!pending_raw.empty() && (pending_raw.back() == '\\' || IsBlank(pending_raw.back()) ||
                                    pending_raw.back() == '\n')) {
      pending_raw.pop_back();
    }
    const std::string raw = std::move(pending_raw);
    const std::string name = std::move(*pending_name);
    pending_name.reset();
    pending_raw.clear();
    if (!key) return;
    if (StartsWithNoCase(raw, "hex(1):")) {
      auto bytes = HexBytes(std::string_view(raw).substr(7));
      if (bytes && tree.version5) bytes = NarrowUtf16(*bytes);
      if (bytes) {
        if (!bytes->empty() && bytes->back() == '\0') bytes->pop_back();
        tree.SetString(*key, name, *bytes);
        return;
      }
    }
    tree.SetOther(*key, name, raw);
  }

  bool Section(std::string_view line) {
    line = TrimRight(line);
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close != line.size() - 1) return false;
    std::string_view inner = line.substr(1, close - 1);
    const bool deletion = !inner.empty() && inner.front() == '-';
    if (deletion) inner.remove_prefix(1);
    const auto path = TidyKeyPath(inner);
    if (!path || !StartsWithNoCase(*path, "HKEY_")) return false;
    in_key_section = true;
    if (deletion) {
      tree.DeleteKey(*path);
      key.reset();
    } else {
      key = *path;
      tree.CreateKey(*path);
    }
    return true;
  }

  bool Value(std::string_view line) {
    if (!in_key_section) return false;
    std::string name;
    std::string_view rest;
    if (line.front() == '@') {
      rest = line.substr(1);
    } else {
      auto quoted = ReadQuoted(line);
      if (!quoted) return false;
      name = std::move(quoted->first);
      rest = quoted->second;
    }
    rest = TrimLeft(rest);
    if (rest.empty() || rest.front() != '=') return false;
    rest = TrimLeft(rest.substr(1));
    if (!rest.empty() && rest.front() == '"') {
      auto quoted = ReadQuoted(rest);
      if (!quoted || !TrimRight(quoted->second).empty()) return false;
      if (key) tree.SetString(*key, name, quoted->first);
      return true;
    }
    if (TrimRight(rest) == "-") {
      if (key) tree.DeleteValue(*key, name);
      return true;
    }
    if (!StartsWithNoCase(rest, "dword:") && !StartsWithNoCase(rest, "hex:") &&
        !StartsWithNoCase(rest, "hex(")) {
      return false;
    }
    pending_name = std::move(name);
    pending_raw = std::string(TrimRight(rest));
    if (pending_raw.empty() || pending_raw.back() != '\\') FinishPending();
    return true;
  }

  bool Line(std::string_view raw_line) {
    if (pending_name && TrimLeft(raw_line).empty()) {
      FinishPending();  // a blank line ends a value whatever its last line said
      return true;
    }
    if (pending_name) {
      pending_raw += '\n';
      pending_raw += TrimRight(raw_line);
      if (pending_raw.back() != '\\') FinishPending();
      return true;
    }
    const std::string_view line = TrimLeft(raw_line);
    if (line.empty()) return true;
    switch (line.front()) {
      case ';':
        if (key) {
          tree.AddComment(*key, raw_line);
        } else if (!in_key_section) {
          tree.preamble.emplace_back(raw_line);
        }
        return true;
      case '[':
        return Section(line);
      case '"':
      case '@':
        return Value(line);
      default:
        return false;
    }
  }
};

}  // namespace

std::optional<RegistryTree> ParseRegistryFile(std::string_view bytes) {
  std::string narrowed;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    auto text = NarrowUtf16(bytes.substr(2));
    if (!text) return std::nullopt;
    narrowed = std::move(*text);
    bytes = narrowed;
  } else if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
  }

  Parser parser;
  bool header_seen = false;
  bool first_line = true;
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    std::string_view line = bytes.substr(0, lf);
    bytes = lf == std::string_view::npos ? std::string_view() : bytes.substr(lf + 1);
    const bool crlf = !line.empty() && line.back() == '\r';
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!header_seen) {
      const std::string_view trimmed = TrimRight(TrimLeft(line));
      if (trimmed.empty()) continue;
      if (trimmed == kHeader4) {
        parser.tree.version5 = false;
      } else if (trimmed == kHeader5) {
        parser.tree.version5 = true;
      } else {
        return std::nullopt;
      }
      header_seen = true;
      continue;
    }
    if (first_line) {
      parser.tree.line_end = crlf || lf == std::string_view::npos ? "\r\n" : "\n";
      first_line = false;
    }
    if (!parser.Line(line)) return std::nullopt;
  }
  if (parser.pending_name) {
    // The last value ended with a continuation mark: keep what was there.
    parser.FinishPending();
  }
  return std::move(parser.tree);
}

namespace {

bool NeedsBytes(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
  }
  return false;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

// "hex(1):41,42,00" wrapped like the registry editor wraps long values.
std::string HexString(std::string_view prefix, std::string_view bytes, std::string_view line_end) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(prefix);
  out += "hex(1):";
  std::size_t column = out.size();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
    column += 2;
    if (i + 1 == bytes.size()) break;
    out.push_back(',');
    ++column;
    if (column >= 76) {
      out += "\\";
      out += line_end;
      out += "  ";
      column = 2;
    }
  }
  return out;
}

}  // namespace

std::string FormatRegistryFile(const RegistryTree& tree) {
  const std::string& le = tree.line_end;
  std::string out(tree.version5 ? kHeader5 : kHeader4);
  out += le;
  for (const auto& line : tree.preamble) out += line + le;
  out += le;
  for (const auto& key : tree.keys()) {
    out += "[" + key.path + "]" + le;
    for (const auto& value : key.values) {
      if (value.kind == StoredValue::Kind::kComment) {
        out += value.text + le;
        continue;
      }
      const std::string name = value.name.empty() ? "@=" : Quoted(value.name) + "=";
      if (value.kind == StoredValue::Kind::kOther) {
        std::string raw = value.text;
        for (std::size_t at = raw.find('\n'); at != std::string::npos; at = raw.find('\n', at)) {
          raw.replace(at, 1, le);
          at += le.size();
        }
        out += name + raw + le;
      } else if (NeedsBytes(value.text)) {
        std::string bytes = value.text + '\0';
        if (tree.version5) bytes = WidenUtf16(bytes);
        out += HexString(name, bytes, le) + le;
      } else {
        out += name + Quoted(value.text) + le;
      }
    }
    out += le;
  }
  return out;
}

}  // namespace webhoard
