// ASCII-only text helpers. Every text in Webhoard is a byte string in the
// browser's code page; case changes touch only 'A'..'Z' / 'a'..'z' and never
// depend on the C locale.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

constexpr char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
constexpr char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);

// Case-insensitive (ASCII) comparisons.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Position of the first case-insensitive occurrence of needle, or npos.
std::size_t FindNoCase(std::string_view text, std::string_view needle);
// Three-way case-insensitive comparison (<0, 0, >0), bytes compared unsigned.
int CompareNoCase(std::string_view a, std::string_view b);

// A text of at most max_length bytes: the first max_length bytes of text.
std::string CutAt(std::string_view text, std::size_t max_length);
// Most names and paths in the design are short strings of 255 bytes.
constexpr std::size_t kShortTextLength = 255;

}  // namespace webhoard
