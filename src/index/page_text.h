// The excerpt the detailed index shows under each archived text page: the
// beginning of the page's readable text, at most 192 characters, with tags
// and comments dropped, the title left out and runs of blanks shrunk to one
// space (the space a tag stands for included).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

inline constexpr std::size_t kPageTextLength = 192;

// The excerpt of the file at `path`; nullopt when the file cannot be opened.
// Reads the file in small blocks and stops as soon as the excerpt is full,
// so a large page costs no more than its first few kilobytes.
std::optional<std::string> ExtractPageText(const std::string& path);

// The same over a page held in memory.
std::string ExtractPageTextOf(std::string_view page);

}  // namespace webhoard
