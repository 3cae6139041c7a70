// Fields of the command line's tab-separated output. Tabs and line breaks
// become blanks, so that every record stays one line of fields; other
// control bytes are escaped as every terminal text is (TerminalText).
#include <string>

#include "cli/command.h"
#include "cli/terminal.h"

namespace webhoard::cli {

std::string OutputField(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return TerminalText(line);
}

}  // namespace webhoard::cli
