#include "cli/cli_app.h"

#include <algorithm>
#include <cerrno>
#include <exception>

#include "cache/program_mime_types.h"
#include "cli/terminal.h"
#include "common/file_util.h"
#include "platform/console.h"

#ifndef WEBHOARD_VERSION
#define WEBHOARD_VERSION "0.0.0"
#endif

namespace webhoard::cli {
namespace {

// Only the commands that write archives keep the new MIME types they meet in
// the user's list: their catalogues store the types' positions. The others
// know them for the run and write no file.
NewMimeTypes NewMimeTypesOf(const Command& command) {
  const std::string_view name = command.name;
  return name == "archive" || name == "reindex" ? NewMimeTypes::kSaved : NewMimeTypes::kThisRunOnly;
}

// -h or --help among the options (not after "--").
bool AsksForHelp(const std::vector<std::string>& words) {
  for (const std::string& word : words) {
    if (word == "--") return false;
    if (word == "-h" || word == "--help") return true;
  }
  return false;
}

// `webhoard help [COMMAND]`.
int RunHelp(const std::vector<std::string>& words, Console& console) {
  if (words.size() == 1 || words[1] == "-h" || words[1] == "--help") {
    PrintOverview(console.out);
    return kExitOk;
  }
  const Command* command = FindCommand(words[1]);
  if (command == nullptr || words.size() > 2) {
    console.command = "help";
    Complain(console, (command == nullptr ? "unknown command " : "unexpected argument ") +
                          words[command == nullptr ? 1 : 2] + " (see webhoard --help)");
    return kExitUsage;
  }
  PrintCommandHelp(*command, console.out);
  return kExitOk;
}

// The hidden options that write the manual page and the completion script
// at build time; nullopt for any other word.
std::optional<int> RunGenerator(const std::vector<std::string>& words, Console& console) {
  if (words[0] == "--print-man" && words.size() == 1) {
    WriteManPage(console.out, WEBHOARD_VERSION);
    return kExitOk;
  }
  if (words[0] == "--print-completion" && words.size() == 2 && words[1] == "bash") {
    WriteBashCompletion(console.out);
    return kExitOk;
  }
  return std::nullopt;
}

// --progress and --quiet decide against the terminal test.
bool DrawsProgress(const Arguments& args, const Console& console) {
  const bool always = args.Flag("--progress");
  const bool never = args.Flag("--quiet");
  if (always && never) throw UsageError("give --progress or --quiet, not both");
  return always || (!never && IsTerminal(console.err));
}

int RunCommand(const Command& command, const std::vector<std::string>& words, Console& console) {
  console.command = command.name;
  try {
    Arguments args(std::vector<std::string>(words.begin() + 1, words.end()), OptionsOf(command));
    console.progress = DrawsProgress(args, console);
    std::string mime_error;
    if (!LoadProgramMimeTypes(NewMimeTypesOf(command), &mime_error)) {
      Complain(console, "warning: " + mime_error);
    }
    const int status = command.run(args, console);
    // Results that never reached their reader (a full disk, a closed pipe)
    // are a failed command, not a done one.
    if (std::fflush(console.out) != 0 || std::ferror(console.out) != 0) {
      Complain(console, "cannot write the output: " + ErrnoText(errno));
      return kExitFailed;
    }
    return status;
  } catch (const InterruptedError& e) {
    Complain(console, e.what());
    return kExitInterrupted;
  } catch (const UsageError& e) {
    Complain(console,
             std::string(e.what()) + " (see webhoard " + std::string(command.name) + " --help)");
    return kExitUsage;
  } catch (const std::exception& e) {
    // Messages may carry addresses and file names read from a cache.
    Complain(console, e.what());
    return kExitFailed;
  }
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& words, Console& console) {
  if (words.empty()) {
    PrintOverview(console.err);
    return kExitUsage;
  }
  const std::string& first = words[0];
  if (first == "-h" || first == "--help") {
    PrintOverview(console.out);
    return kExitOk;
  }
  if (first == "help") return RunHelp(words, console);
  if (first == "-V" || first == "--version") {
    std::fprintf(console.out, "webhoard %s\n", WEBHOARD_VERSION);
    return kExitOk;
  }
  if (const auto generated = RunGenerator(words, console)) return *generated;
  const Command* command = FindCommand(first);
  if (command == nullptr) {
    std::fprintf(console.err, "webhoard: %s %s (see webhoard --help)\n",
                 first.rfind('-', 0) == 0 ? "unknown option" : "unknown command",
                 TerminalText(first).c_str());
    return kExitUsage;
  }
  if (AsksForHelp(words)) {
    PrintCommandHelp(*command, console.out);
    return kExitOk;
  }
  return RunCommand(*command, words, console);
}

}  // namespace webhoard::cli
