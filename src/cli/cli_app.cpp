#include "cli/cli_app.h"

#include <cerrno>
#include <exception>

#include "cache/buffered_file_stream.h"
#include "cache/program_mime_types.h"
#include "cli/terminal.h"
#include "common/file_util.h"

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

}  // namespace

int RunCommandLine(const std::vector<std::string>& words, Console& console) {
  if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    PrintOverview(words.empty() ? console.err : console.out);
    return words.empty() ? kExitUsage : kExitOk;
  }
  if (words[0] == "--version") {
    std::fprintf(console.out, "webhoard %s\n", WEBHOARD_VERSION);
    return kExitOk;
  }
  const Command* command = FindCommand(words[0]);
  if (command == nullptr) {
    std::fprintf(console.err, "webhoard: unknown command \"%s\" (see webhoard --help)\n",
                 words[0].c_str());
    return kExitUsage;
  }
  Arguments args(std::vector<std::string>(words.begin() + 1, words.end()));
  if (args.Flag("--help") || args.Flag("-h")) {
    PrintCommandHelp(*command, console.out);
    return kExitOk;
  }
  try {
    std::string mime_error;
    if (!LoadProgramMimeTypes(NewMimeTypesOf(*command), &mime_error)) {
      std::fprintf(console.err, "webhoard: warning: %s\n", mime_error.c_str());
    }
    const int status = command->run(args, console);
    // Results that never reached their reader (a full disk, a closed pipe)
    // are a failed command, not a done one.
    if (std::fflush(console.out) != 0 || std::ferror(console.out) != 0) {
      std::fprintf(console.err, "webhoard %s: cannot write the output: %s\n", command->name,
                   ErrnoText(errno).c_str());
      return kExitFailed;
    }
    return status;
  } catch (const InterruptedError& e) {
    std::fprintf(console.err, "webhoard %s: %s\n", command->name, TerminalText(e.what()).c_str());
    return kExitInterrupted;
  } catch (const UsageError& e) {
    std::fprintf(console.err, "webhoard %s: %s (see webhoard %s --help)\n", command->name, e.what(),
                 command->name);
    return kExitUsage;
  } catch (const std::exception& e) {
    // Messages may carry addresses and file names read from a cache.
    std::fprintf(console.err, "webhoard %s: %s\n", command->name, TerminalText(e.what()).c_str());
    return kExitFailed;
  }
}

}  // namespace webhoard::cli
