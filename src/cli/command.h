// One command of the `webhoard` command line.
#pragma once

#include <cstdio>
#include <string>

#include "cli/arguments.h"

namespace webhoard::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr int kExitPartlyFailed = 3;  // done, but some items could not be archived
constexpr int kExitInterrupted = 130;

// Where a command writes: results on out, messages on err.
struct Console {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  std::FILE* in = stdin;
};

struct Command {
  const char* name;
  const char* summary;
  const char* help;  // the whole --help text
  int (*run)(Arguments& args, Console& console);
};

// Every command, in the order `webhoard --help` lists them.
const Command* FindCommand(const std::string& name);
void PrintOverview(std::FILE* out);

int RunList(Arguments& args, Console& console);
int RunArchiveCommand(Arguments& args, Console& console);
int RunDelete(Arguments& args, Console& console);
int RunSearch(Arguments& args, Console& console);
int RunReindex(Arguments& args, Console& console);
int RunCatalog(Arguments& args, Console& console);
int RunSettings(Arguments& args, Console& console);

// A field of tab-separated output: tabs and line breaks become blanks so
// that every record stays one line, and other control bytes are written as
// \xHH so that none reaches a terminal raw.
std::string OutputField(std::string_view text);

}  // namespace webhoard::cli
