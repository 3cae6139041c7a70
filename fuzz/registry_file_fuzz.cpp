// Registry export files are text the user may have edited or damaged: any
// bytes must parse to a tree or be recognised as damaged, and a tree that
// parses must rewrite to a file that reads back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/regedit_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto tree = webhoard::ParseRegistryFile(bytes);
  if (tree) {
    const std::string text = webhoard::FormatRegistryFile(*tree);
    const auto again = webhoard::ParseRegistryFile(text);
    if (!again || webhoard::FormatRegistryFile(*again) != text) std::abort();
  }
  // The same bytes behind a header, so that the body is reached most times.
  std::string with_header = "REGEDIT4\r\n[HKEY_CURRENT_USER\\K]\r\n";
  with_header.append(bytes);
  if (const auto body = webhoard::ParseRegistryFile(with_header)) {
    const std::string text = webhoard::FormatRegistryFile(*body);
    const auto again = webhoard::ParseRegistryFile(text);
    if (!again || webhoard::FormatRegistryFile(*again) != text) std::abort();
  }
  return 0;
}
