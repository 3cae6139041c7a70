// Fuzz target: the link rewriting and the title reader over any page. The
// first byte chooses the link options; a small fixed archive gives links
// something to be found.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/link_rewriter.h"
#include "archive/page_title.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<webhoard::TCacheItem> items = [] {
    std::vector<webhoard::TCacheItem> list(3);
    const char* urls[] = {"http://host:80/dir/page.htm", "http://host:80/dir/",
                          "http://host:80/a.gif"};
    const char* names[] = {"page.htm", "dir.htm", "a.gif"};
    for (int i = 0; i < 3; ++i) {
      list[i].URL = urls[i];
      list[i].ArchiveName = names[i];
      list[i].MimeIndex = i == 2 ? 2 : 1;
      list[i].Domain = "host";
    }
    return list;
  }();
  static std::vector<webhoard::TCacheItem*> selection = [] {
    std::vector<webhoard::TCacheItem*> list;
    for (auto& item : items) list.push_back(&item);
    return list;
  }();
  static const webhoard::LinkTargets targets(selection, nullptr);

  webhoard::LinkOptions options;
  const std::uint8_t choice = size > 0 ? data[0] : 0;
  options.show_original_urls = (choice & 1) != 0;
  options.emphasize_links = (choice & 2) != 0;
  options.strikeout_links = (choice & 4) != 0;
  if ((choice & 8) != 0) {
    options.emphasizing_tag.clear();
    options.de_emphasizing_tag.clear();
  }
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::string out =
      webhoard::RewritePageText(page, "http://host:80/dir/index.htm", targets, options);
  // Text up to the first "<" is copied as it is.
  const std::size_t open = page.find('<');
  const std::size_t kept = open == std::string_view::npos ? size : open + 1;
  if (out.compare(0, kept, page.substr(0, kept)) != 0) __builtin_trap();
  if (webhoard::PageTitleOf(page).size() > webhoard::kPageTitleLength) __builtin_trap();
  return 0;
}
