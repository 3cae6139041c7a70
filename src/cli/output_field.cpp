// Fields of the command line's tab-separated output. Addresses, titles and
// file names come from web servers and cache files: a control byte among
// them (ESC above all) must never reach a terminal raw, where it could move
// the cursor, retitle the window or hide the lines before it.
#include <cstdio>
#include <string>

#include "cli/command.h"

namespace webhoard::cli {

std::string OutputField(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t' || c == '\r' || c == '\n') {
      out.push_back(' ');  // every record stays one line of fields
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace webhoard::cli
