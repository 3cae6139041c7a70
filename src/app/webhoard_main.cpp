// webhoard: the command line.
#include <string>
#include <vector>

#include "cli/cli_app.h"
#include "cli/terminal.h"

int main(int argc, char** argv) {
  webhoard::cli::InstallInterruptHandler();
  webhoard::cli::Console console;
  const std::vector<std::string> words(argv + 1, argv + argc);
  return webhoard::cli::RunCommandLine(words, console);
}
