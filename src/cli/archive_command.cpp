// webhoard archive: the Cache Explorer's Archive command over the chosen items.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "common/file_util.h"
#include "explorer/cache_deletion.h"  // kNoFilesHelpContext
#include "forms/archive_run.h"
#include "index/build_index.h"
#include "platform/registry.h"
#include "settings/run_settings.h"

namespace webhoard::cli {
namespace {

// LINK OPTIONS and --to: this run's own settings.
RunChoices ParseRunChoices(Arguments& args) {
  RunChoices choices;
  if (auto v = args.Value("--original-urls"))
    choices.show_original_urls = ParseYesNo("--original-urls", *v);
  if (auto v = args.Value("--strikeout")) choices.strikeout_links = ParseYesNo("--strikeout", *v);
  if (auto v = args.Value("--detailed")) choices.detailed_index = ParseYesNo("--detailed", *v);
  if (auto v = args.Value("--emphasize")) {
    choices.emphasize_links = *v != "none";
    if (*v == "bold") {
      choices.emphasis = Emphasis::kBold;
    } else if (*v == "italic") {
      choices.emphasis = Emphasis::kItalic;
    } else if (*v == "larger") {
      choices.emphasis = Emphasis::kLarger;
    } else if (*v == "custom") {
      choices.emphasis = Emphasis::kCustom;  // the stored custom tags
    } else if (*v != "none") {
      throw UsageError("--emphasize takes none, bold, italic, larger or custom");
    }
  }
  if (auto to = args.Value("--to")) {
    if (to->empty()) throw UsageError("--to needs a folder");
    choices.archive_folder = *to;
  }
  return choices;
}

}  // namespace

int RunArchiveCommand(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  const RunChoices run_choices = ParseRunChoices(args);
  const bool yes = args.Flag("--yes");

  InMemorySettings& settings = Settings();
  LoadRunSettings(SettingsStore(SystemRegistry()), source.edition, run_choices, settings);
  args.ExpectNoMore();
  if (settings.current_archive_folder.empty()) {
    throw UsageError("no archive folder: give --to FOLDER or set one in the settings");
  }

  TerminalPrompter prompter(yes, console.in, console.err);
  TCacheItemList cache = LoadCache(source, prompter, console, RememberCache::kYes);
  TSelectionForm explorer(source.edition, prompter, cache);
  ApplyChoice(explorer, choice, "archive", console.err);
  const std::vector<TCacheItem*> chosen = explorer.Chooser().ChosenItems(cache);
  if (chosen.empty()) {
    prompter.ShowMessage(kNoFilesToArchive, MessageKind::kInformation, kButtonOk | kButtonHelp,
                         kNoFilesHelpContext);
    return kExitOk;
  }

  // The run itself, not the dialog's Archive button: --yes answers every
  // question Yes but must not open the index in a browser.
  ArchiveRunEnvironment env;
  env.edition = source.edition;
  env.prompter = &prompter;
  env.settings = &settings;
  env.item_failed = [&console](const ArchiveItemFailure& failure) {
    std::fprintf(console.err, "webhoard archive: %s (%s)\n", failure.reason.c_str(),
                 OutputField(failure.url).c_str());
  };
  ArchiveRun run(env);
  run.PrepareArchiveRun();
  run.selection() = chosen;
  TerminalModalHost host(prompter, console.err);
  run.RunArchive(host);
  if (!yes) run.FinishArchiveRun();
  const ArchiveRunReport& report = run.report();
  if (report.started && !report.save.ok) {
    // The box said why; the copies the run added are gone again.
    std::fprintf(console.err,
                 "webhoard archive: failed: the catalogue could not be saved; the %zu copies this "
                 "run added were removed, the archive is as it was\n",
                 report.removed);
    return kExitFailed;
  }
  if (Interrupted() || report.cancelled) {
    std::fprintf(console.err,
                 "webhoard archive: interrupted; %zu items archived, %zu failed; %zu items remain: "
                 "run the same command again to finish them\n",
                 report.copied, report.failed, report.remaining);
    return kExitInterrupted;
  }
  if (!report.started) return kExitFailed;
  const std::string undecoded =
      report.undecoded == 0 ? "" : " (" + std::to_string(report.undecoded) + " stored undecoded)";
  std::fprintf(
      console.err, "%zu items archived%s, %zu failed, %zu of no known type; catalogue holds %zu\n",
      report.copied, undecoded.c_str(), report.failed, report.untyped, report.catalogue_size);
  if (!report.error.empty()) return kExitFailed;
  const std::string index_page = JoinPath(settings.current_archive_folder, kIndexEntryPage);
  if (FileExists(index_page)) std::fprintf(console.out, "%s\n", index_page.c_str());
  return report.failed > 0 ? kExitPartlyFailed : kExitOk;
}

}  // namespace webhoard::cli
