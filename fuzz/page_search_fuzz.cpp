// The search's page test over any page and any text: the first input byte
// sets how long the text is, the text follows, the rest is the page. The
// answer must be what a plain search of the whole lower-cased page gives,
// wherever the text falls against the 2048-byte blocks.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/ascii.h"
#include "fuzz_files.h"
#include "search/archive_search.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t text_length = std::min<std::size_t>(data[0] % 16, size - 1);
  std::string text = webhoard::AsciiLower(
      std::string(reinterpret_cast<const char*>(data + 1), text_length));
  if (const auto nul = text.find('\0'); nul != std::string::npos) text.resize(nul);
  // Short pages are stretched so the text often sits across a block edge.
  std::string page(reinterpret_cast<const char*>(data + 1 + text_length), size - 1 - text_length);
  if (!page.empty() && page.size() < 4096) page.insert(0, 2048 - page.size() % 2048, 'x');
  static const std::string folder = fuzz_files::FreshFolder("pages");
  const std::string path = folder + "/page.htm";
  if (!fuzz_files::WriteFile(path, page)) return 0;
  const bool expected = !text.empty() && webhoard::AsciiLower(page).find(text) != std::string::npos;
  fuzz_files::Check(webhoard::FileContainsText(path, text) == expected, "page_search_fuzz",
                    "the page test disagrees with a plain search");
  return 0;
}
