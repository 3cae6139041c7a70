// The manual page webhoard(1), in man(7) macros, written from the command
// table at build time.
#include <string>

#include "cli/command.h"
#include "cli/option_label.h"

namespace webhoard::cli {
namespace {

// Text as roff input: backslashes and hyphens escaped (a hyphen stays a
// hyphen, not a minus that breaks copying an option), no line read as a
// request, and a blank line as a new paragraph.
std::string Roff(std::string_view text) {
  std::string out;
  bool line_start = true;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (line_start && (c == '.' || c == '\'')) out += "\\&";
    line_start = false;
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\n' && i + 1 < text.size() && text[i + 1] == '\n') {
      out += "\n.PP\n";
      ++i;
      line_start = true;
    } else {
      out += c;
      line_start = c == '\n';
    }
  }
  return out;
}

void Put(std::FILE* out, const std::string& text) {
  std::fputs(text.c_str(), out);
}

void WriteGroup(std::FILE* out, const OptionGroup& group) {
  if (!group.title.empty()) Put(out, ".PP\n\\fI" + Roff(group.title) + "\\fR:\n");
  for (const Option& option : group.options) {
    std::string label = OptionLabel(option);
    Put(out, ".TP\n\\fB" + Roff(label) + "\\fR\n" + Roff(option.help) + "\n");
  }
  if (!group.note.empty()) Put(out, ".PP\n" + Roff(group.note) + "\n");
}

}  // namespace

void WriteManPage(std::FILE* out, std::string_view version) {
  Put(out, ".TH WEBHOARD 1 \"\" \"webhoard " + Roff(version) +
               "\" \"User Commands\"\n"
               ".SH NAME\n"
               "webhoard \\- turn a web browser's disk cache into an offline archive\n"
               ".SH SYNOPSIS\n"
               ".B webhoard\n"
               "\\fICOMMAND\\fR [\\fIOPTIONS\\fR] [\\fB\\-\\-\\fR] [\\fIOPERANDS\\fR]\n"
               ".br\n"
               ".B webhoard help\n"
               "[\\fICOMMAND\\fR]\n"
               ".SH DESCRIPTION\n"
               "\\fBwebhoard\\fR reads the disk cache of a web browser (Netscape Navigator,\n"
               "Internet Explorer, Chromium and its kin, Firefox) and copies the pages,\n"
               "pictures and other files it holds into an archive folder, with the links\n"
               "between archived pages rewritten and index pages to browse them offline.\n"
               ".PP\n"
               "\\fB\\-\\-\\fR ends the options: every word after it is an operand.\n"
               ".SH OPTIONS\n");
  WriteGroup(out, ProgramOptions());
  Put(out, ".SH COMMANDS\n");
  for (const Command& c : Commands()) {
    Put(out, ".SS " + Roff(c.name) + "\n" + Roff(c.summary) + ".\n.PP\n\\fBwebhoard\\fR " +
                 Roff(c.usage) + "\n.PP\n" + Roff(c.description) + "\n");
    for (const OptionGroup* group : c.groups) WriteGroup(out, *group);
    Put(out, ".TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\nshow the command's help and exit\n");
  }
  Put(out, ".SH OUTPUT\n" + Roff(ProgramNotes()) + "\n.SH EXIT STATUS\n");
  for (const ExitStatus& status : ExitStatuses()) {
    Put(out, ".TP\n" + std::to_string(status.code) + "\n" + Roff(status.meaning) + "\n");
  }
  Put(out,
      ".SH ENVIRONMENT\n"
      ".TP\n"
      ".B WEBHOARD_CONFIG_DIR\n"
      "the folder of the settings (default: \\fI$XDG_CONFIG_HOME/webhoard\\fR, else\n"
      "\\fI~/.config/webhoard\\fR)\n"
      ".TP\n"
      ".B WEBHOARD_HOME\n"
      "the folder of the program's data (index icons, help pages, the list of MIME\n"
      "types); by default found from the program's own location\n");
}

}  // namespace webhoard::cli
