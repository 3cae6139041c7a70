// webhoard reindex FOLDER: the re-index run on that folder.
#include "cli/archive_operand.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "forms/archive_run.h"
#include "platform/registry.h"
#include "settings/run_settings.h"

namespace webhoard::cli {

int RunReindex(Arguments& args, Console& console) {
  const bool yes = args.Flag("--yes");
  const std::string folder = ArchiveFolderOperand(args);
  args.ExpectNoMore();
  InMemorySettings& settings = Settings();
  RunChoices choices;
  choices.archive_folder = folder;
  LoadRunSettings(SettingsStore(SystemRegistry()), Edition::kNavigator, choices, settings);

  TerminalPrompter prompter(yes, console);
  ArchiveRunEnvironment env;
  env.prompter = &prompter;
  env.settings = &settings;
  ArchiveRun run(env);
  run.PrepareArchiveRun();  // an empty selection: the run re-indexes
  TerminalModalHost host(prompter, console);
  run.RunArchive(host);
  const ArchiveRunReport report = run.report();
  run.FinishArchiveRun();  // opens the index when the user said so
  if (!report.started || !report.save.ok || !report.error.empty()) return kExitFailed;
  if (report.cancelled) return kExitInterrupted;
  std::fprintf(console.err, "%zu records kept, %zu dropped (copy gone)\n", report.catalogue_size,
               report.load.records_missing);
  return kExitOk;
}

}  // namespace webhoard::cli
