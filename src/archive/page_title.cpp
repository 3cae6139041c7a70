#include "archive/page_title.h"

#include "common/ascii.h"
#include "platform/regular_file.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

// Only the start of a tag matters for finding the title.
constexpr std::size_t kKeptTagLength = 15;

}  // namespace

std::string PageTitleOf(std::string_view page) {
  const std::size_t n = page.size();
  bool comment_detection = true;
  std::size_t pos = 0;
  while (pos < n) {
    const std::size_t open = page.find('<', pos);
    if (open == std::string_view::npos) break;
    pos = open + 1;
    std::string tag;
    while (pos < n) {
      const char c = page[pos++];
      if (tag.size() < kKeptTagLength) tag.push_back(c);
      if (c == '-' && tag == "!--") {
        // A comment is passed over whole: to its "-->" while there is one,
        // otherwise (as tags do) to the next ">".
        tag.clear();
        if (comment_detection) {
          const std::size_t end = page.find("-->", pos);
          if (end == std::string_view::npos) {
            comment_detection = false;
          } else {
            pos = end + 3;
          }
        }
        if (!comment_detection) {
          const std::size_t close = page.find('>', pos);
          pos = close == std::string_view::npos ? n : close + 1;
        }
        break;
      }
      if (c == '>') break;
    }
    TrimBlanks(tag);
    if (!StartsWithNoCase(tag, "title")) continue;
    std::string title;
    while (pos < n && page[pos] != '<' && title.size() < kPageTitleLength) {
      const auto byte = static_cast<unsigned char>(page[pos++]);
      if (byte >= 14) title.push_back(static_cast<char>(byte));
    }
    TrimBlanks(title);
    return title;
  }
  return {};
}

std::string PageTitle(const std::string& file_name) {
  const auto page = ReadRegularFile(file_name);
  return page ? PageTitleOf(*page) : std::string();
}

}  // namespace webhoard
