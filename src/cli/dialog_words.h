// The command line's own words for the boxes of the shared dialog code. The
// windows' sentences ("Could not write to the archive folder.", "Do you wish
// to load this index now?") are written for a box with paragraphs; on a
// terminal each becomes one line saying what happened or what will be done.
#pragma once

#include <string>
#include <string_view>

namespace webhoard::cli {

struct CommandLineWords {
  std::string text;
  bool opens_index = false;  // the question whether to open the index page
};

CommandLineWords WordsOfDialog(std::string_view dialog_text);

}  // namespace webhoard::cli
