// The `webhoard` command line: parses the command and runs it, turning every
// failure into a message on stderr and an exit status.
#pragma once

#include <string>
#include <vector>

#include "cli/command.h"

namespace webhoard::cli {

// Runs one command line (without the program name); answers the exit status.
int RunCommandLine(const std::vector<std::string>& words, Console& console);

}  // namespace webhoard::cli
