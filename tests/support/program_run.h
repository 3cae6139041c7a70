// Runs a program as a user would, in a process of its own and without a
// shell: its arguments exactly as given, a few environment variables set on
// top of this process's, a text as its standard input; answers its exit
// status and everything it wrote.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webhoard::testing {

struct ProgramOutcome {
  int status = -1;  // the exit status; -1 when the program did not end normally
  std::string out;
  std::string err;
};

using EnvironmentVariables = std::vector<std::pair<std::string, std::string>>;

// Windows programs write text with "\r\n"; `out` and `err` hold "\n" alone
// on every system.
ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const EnvironmentVariables& environment, std::string_view input = {});

// Splits a command line the way a POSIX shell would for simple words: blanks
// separate arguments, and '...' keeps blanks and backslashes (and makes ''
// an empty argument).
std::vector<std::string> SplitArguments(std::string_view line);

}  // namespace webhoard::testing
