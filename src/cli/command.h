// One command of the `webhoard` command line.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/option_table.h"

namespace webhoard::cli {

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitFailed = 2;
constexpr int kExitPartlyFailed = 3;  // done, but some items could not be archived
constexpr int kExitDeclined = 4;      // a question was answered no: nothing was done
constexpr int kExitInterrupted = 130;

struct ExitStatus {
  int code;
  std::string_view meaning;
};
std::span<const ExitStatus> ExitStatuses();

// Where a command writes: results on out, messages on err.
struct Console {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
  std::FILE* in = stdin;
  std::string_view command;  // the command running, named in every message
  bool progress = false;     // draw progress lines on err
};

// An error or warning as command-line users expect it, one line on
// console.err: "webhoard: COMMAND: TEXT", line breaks of TEXT as blanks and
// control bytes escaped.
void Complain(const Console& console, std::string_view text);

struct Command {
  std::string_view name;
  std::string_view summary;
  std::string_view usage;        // after "webhoard "
  std::string_view description;  // paragraphs separated by blank lines
  std::vector<const OptionGroup*> groups;
  ValueHint operand = ValueHint::kNone;  // what the operands are, for completion
  int (*run)(Arguments& args, Console& console) = nullptr;
};

// Every command, in the order `webhoard --help` lists them.
const std::vector<Command>& Commands();
const Command* FindCommand(std::string_view name);
// The options a command accepts, --help included.
std::vector<const Option*> OptionsOf(const Command& command);
// The options `webhoard` takes before a command (--help, --version).
const OptionGroup& ProgramOptions();
// The overview's paragraphs after the command list: output, messages.
std::string_view ProgramNotes();

void PrintOverview(std::FILE* out);
void PrintCommandHelp(const Command& command, std::FILE* out);
// The manual page (man(7) macros) and the bash completion script, written
// from the same tables; hidden options of the program write them at build
// time.
void WriteManPage(std::FILE* out, std::string_view version);
void WriteBashCompletion(std::FILE* out);

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
