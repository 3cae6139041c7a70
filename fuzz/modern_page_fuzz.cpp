// Fuzz target: the rewriting of pages and style sheets of today's web over
// any text, with a few archived targets. The input is one byte of link
// options, then the page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/modern_page_rewriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  std::string_view page(reinterpret_cast<const char*>(data), size);
  const std::uint8_t choice = page.empty() ? 0 : static_cast<std::uint8_t>(page[0]);
  if (!page.empty()) page.remove_prefix(1);

  std::vector<TCacheItem> items(3);
  const char* urls[] = {"http://host:80/dir/a.htm", "http://host:80/dir/i.gif?x=1",
                        "http://cdn:80/s.css"};
  std::vector<TCacheItem*> selection;
  for (std::size_t i = 0; i < items.size(); ++i) {
    items[i].URL = urls[i];
    items[i].Domain = i == 2 ? "cdn" : "host";
    items[i].MimeIndex = static_cast<std::int32_t>(i % 2 + 1);
    items[i].ArchiveName = "n" + std::to_string(i);
    selection.push_back(&items[i]);
  }
  const LinkTargets targets(selection, nullptr);
  LinkOptions options;
  options.modern_pages = true;
  options.show_original_urls = (choice & 1) != 0;
  options.emphasize_links = (choice & 2) != 0;
  options.strikeout_links = (choice & 4) != 0;

  const std::string out =
      RewriteModernPageText(page, "http://host:80/dir/index.htm", targets, options);
  // Text up to the first "<" is copied as it is.
  const std::size_t open = page.find('<');
  const std::size_t kept = open == std::string_view::npos ? page.size() : open + 1;
  if (out.compare(0, kept, page.substr(0, kept)) != 0) __builtin_trap();
  RewriteStyleSheetText(page, "https://cdn/s.css", targets, options);
  return 0;
}
