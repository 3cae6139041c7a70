// The title of a page: the text after its first TITLE tag, as the index
// pages show it.
//
// Line breaks, tabs and other bytes below 14 inside the title vanish without
// a trace ("My", line break, "Page" gives "MyPage"); blanks around it are
// trimmed; at most 100 characters are kept. Tags inside comments do not
// count. Character entities are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace webhoard {

inline constexpr std::size_t kPageTitleLength = 100;

// The title of the page held in `page`, empty when it has none.
std::string PageTitleOf(std::string_view page);

// The title of the page in a file, empty when it has none or cannot be read.
std::string PageTitle(const std::string& file_name);

}  // namespace webhoard
