// --help of the program and of each command, written from the command table.
#include <string>

#include "cli/command.h"
#include "cli/option_label.h"

namespace webhoard::cli {
namespace {

constexpr std::size_t kHelpColumn = 30;

void PrintGroup(const OptionGroup& group, std::FILE* out) {
  if (!group.title.empty()) {
    std::fprintf(out, "%.*s:\n", static_cast<int>(group.title.size()), group.title.data());
  }
  for (const Option& option : group.options) {
    std::string line = "  " + OptionLabel(option);
    // A label too long for its column has its text on the lines below.
    line += line.size() + 2 > kHelpColumn ? "\n" + std::string(kHelpColumn, ' ')
                                          : std::string(kHelpColumn - line.size(), ' ');
    for (const char c : option.help) {
      line += c;
      if (c == '\n') line += std::string(kHelpColumn, ' ');
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
  if (!group.note.empty()) {
    std::fprintf(out, "%.*s\n", static_cast<int>(group.note.size()), group.note.data());
  }
  std::fputs("\n", out);
}

}  // namespace

void PrintCommandHelp(const Command& c, std::FILE* out) {
  std::fprintf(out, "usage: webhoard %.*s\n\n%.*s\n\n", static_cast<int>(c.usage.size()),
               c.usage.data(), static_cast<int>(c.description.size()), c.description.data());
  for (const OptionGroup* group : c.groups) PrintGroup(*group, out);
  std::fprintf(out, "`webhoard help` describes the output, the messages and the exit statuses.\n");
}

void PrintOverview(std::FILE* out) {
  std::fputs(
      "usage: webhoard COMMAND [OPTIONS] [--] [OPERANDS]\n"
      "       webhoard help [COMMAND]\n\n"
      "Turns a web browser's disk cache (Netscape Navigator, Internet Explorer,\n"
      "Chromium and its kin, Firefox) into a browsable offline archive.\n\n"
      "Commands:\n",
      out);
  for (const Command& c : Commands()) {
    std::fprintf(out, "  %-10.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 static_cast<int>(c.summary.size()), c.summary.data());
  }
  std::fputs("\n", out);
  PrintGroup(ProgramOptions(), out);
  std::fprintf(out,
               "`webhoard COMMAND --help` or `webhoard help COMMAND` describes a command. \"--\"\n"
               "ends the options: every word after it is an operand.\n\n%.*s\n\nExit status:\n",
               static_cast<int>(ProgramNotes().size()), ProgramNotes().data());
  for (const ExitStatus& status : ExitStatuses()) {
    std::fprintf(out, "  %-4d %.*s\n", status.code, static_cast<int>(status.meaning.size()),
                 status.meaning.data());
  }
}

}  // namespace webhoard::cli
