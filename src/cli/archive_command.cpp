// webhoard archive: the Cache Explorer's Archive command over the chosen items.
#include <filesystem>
#include <system_error>

#include "cli/archive_summary.h"
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "common/file_util.h"
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

// A missing archive folder is asked about here, in words that say what
// will be done, and made here, so that a failure names the system's reason.
// False when the user declined.
bool MakeArchiveFolder(const std::string& folder, const std::vector<TCacheItem*>& chosen,
                       TerminalPrompter& prompter) {
  if (DirectoryExists(folder)) return true;
  if (!prompter.Ask("create the archive folder " + folder + " and archive " + ItemsOfSites(chosen) +
                    " into it?")) {
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !DirectoryExists(folder)) {
    throw WorkError(folder + ": " + (error ? error.message() : "cannot create the folder"));
  }
  return true;
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

  TerminalPrompter prompter(yes, console);
  std::vector<StoredRedirect> redirects;
  TCacheItemList cache = LoadCache(source, prompter, console, RememberCache::kYes, &redirects);
  TSelectionForm explorer(source.edition, prompter, cache);
  ApplyChoice(explorer, choice, console);
  const std::vector<TCacheItem*> chosen = explorer.Chooser().ChosenItems(cache);
  if (chosen.empty()) {
    std::fprintf(console.err, "nothing to archive: no cached item is chosen\n");
    return kExitOk;
  }
  if (!MakeArchiveFolder(settings.current_archive_folder, chosen, prompter)) {
    Complain(console, "nothing archived (the archive folder was not created)");
    return kExitDeclined;
  }

  // The run itself, not the dialog's Archive button: --yes answers every
  // question yes but must not open the index in a browser.
  ArchiveRunEnvironment env;
  env.edition = source.edition;
  env.prompter = &prompter;
  env.settings = &settings;
  env.redirects = std::move(redirects);
  env.item_failed = [&console](const ArchiveItemFailure& failure) {
    Complain(console, failure.reason + " (" + failure.url + ")");
  };
  ArchiveRun run(env);
  run.PrepareArchiveRun();
  run.selection() = chosen;
  TerminalModalHost host(prompter, console);
  run.RunArchive(host);
  run.FinishArchiveRun();  // opens the index when the user said so
  const ArchiveRunReport& report = run.report();
  if (report.started && !report.save.ok) {
    // The message said why; the copies the run added are gone again.
    Complain(console, "failed: the catalogue could not be saved; the " +
                          std::to_string(report.removed) +
                          " copies this run added were removed, the archive is as it was");
    return kExitFailed;
  }
  if (Interrupted() || report.cancelled) {
    Complain(console, "interrupted; " + std::to_string(report.copied) + " items archived, " +
                          std::to_string(report.failed) + " failed; " +
                          std::to_string(report.remaining) +
                          " items remain: run the same command again to finish them");
    return kExitInterrupted;
  }
  if (!report.started) return kExitFailed;
  const std::string undecoded =
      report.undecoded == 0 ? "" : " (" + std::to_string(report.undecoded) + " stored undecoded)";
  std::fprintf(console.err,
               "%zu items archived%s, %zu failed, %zu of no known type; the archive holds %s\n",
               report.copied, undecoded.c_str(), report.failed, report.untyped,
               ArchiveContents(settings.current_archive_folder).c_str());
  if (!report.error.empty()) return kExitFailed;
  const std::string index_page = JoinPath(settings.current_archive_folder, kIndexEntryPage);
  if (FileExists(index_page)) std::fprintf(console.out, "%s\n", index_page.c_str());
  return report.failed > 0 ? kExitPartlyFailed : kExitOk;
}

}  // namespace webhoard::cli
