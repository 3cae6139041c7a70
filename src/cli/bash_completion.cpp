// The bash completion script of `webhoard`, written from the command table
// at build time: commands, each command's options, and the values an option
// takes (files, folders or its words).
#include <string>

#include "cli/command.h"

namespace webhoard::cli {
namespace {

std::string Join(const std::vector<const Option*>& options) {
  std::string words;
  for (const Option* option : options) {
    if (!words.empty()) words += ' ';
    words += option->name;
    if (!option->short_name.empty()) words += " " + std::string(option->short_name);
  }
  return words;
}

// The shell's completion of one kind of value, as a compgen call.
std::string Compgen(ValueHint hint, std::string_view words) {
  switch (hint) {
    case ValueHint::kFile:
      return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- \"$cur\"))";
    case ValueHint::kFolder:
      return "compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- \"$cur\"))";
    case ValueHint::kWords:
      return "COMPREPLY=($(compgen -W '" + std::string(words) + "' -- \"$cur\"))";
    case ValueHint::kNone:
      break;
  }
  return "COMPREPLY=()";
}

}  // namespace

void WriteBashCompletion(std::FILE* out) {
  std::string commands;
  for (const Command& c : Commands()) commands += std::string(c.name) + " ";
  std::string program_options;
  for (const Option& option : ProgramOptions().options) {
    program_options += std::string(option.name) + " " + std::string(option.short_name) + " ";
  }
  std::fprintf(out,
               "# bash completion for webhoard                             -*- shell-script -*-\n"
               "_webhoard() {\n"
               "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
               "  if ((COMP_CWORD == 1)); then\n"
               "    COMPREPLY=($(compgen -W '%shelp %s' -- \"$cur\"))\n"
               "    return\n"
               "  fi\n"
               "  local command=${COMP_WORDS[1]} i\n"
               "  if [[ $command == help ]]; then\n"
               "    ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W '%s' -- \"$cur\"))\n"
               "    return\n"
               "  fi\n"
               "  # After \"--\" every word is an operand.\n"
               "  for ((i = 2; i < COMP_CWORD; i++)); do\n"
               "    [[ ${COMP_WORDS[i]} == -- ]] && { compopt -o filenames 2>/dev/null;"
               " COMPREPLY=($(compgen -f -- \"$cur\")); return; }\n"
               "  done\n"
               "  case $command in\n",
               commands.c_str(), program_options.c_str(), commands.c_str());
  for (const Command& c : Commands()) {
    const std::vector<const Option*> options = OptionsOf(c);
    std::fprintf(out, "    %.*s)\n      case $prev in\n", static_cast<int>(c.name.size()),
                 c.name.data());
    for (const Option* option : options) {
      if (option->kind == OptionKind::kFlag) continue;
      // A value that may be left out gives way to the next option.
      const char* format = option->kind == OptionKind::kOptionalValue
                               ? "        %.*s) [[ $cur == -* ]] || { %s; return; } ;;\n"
                               : "        %.*s) %s; return ;;\n";
      std::fprintf(out, format, static_cast<int>(option->name.size()), option->name.data(),
                   Compgen(option->hint, option->words).c_str());
    }
    std::fprintf(out,
                 "      esac\n"
                 "      if [[ $cur == -* ]]; then\n"
                 "        COMPREPLY=($(compgen -W '%s' -- \"$cur\"))\n"
                 "      else\n"
                 "        %s\n"
                 "      fi\n"
                 "      ;;\n",
                 Join(options).c_str(), Compgen(c.operand, "").c_str());
  }
  std::fputs("  esac\n}\ncomplete -F _webhoard webhoard\n", out);
}

}  // namespace webhoard::cli
