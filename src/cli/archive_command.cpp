// webhoard archive: the Cache Explorer's Archive command over the chosen items.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "common/file_util.h"
#include "explorer/cache_deletion.h"  // kNoFilesHelpContext
#include "forms/archive_run.h"
#include "platform/registry.h"
#include "settings/settings_steps.h"

namespace webhoard::cli {
namespace {

// LINK OPTIONS: change the in-memory settings of this run only.
void ApplyLinkOptions(Arguments& args, const PropertiesFields& stored, InMemorySettings& settings) {
  if (auto v = args.Value("--original-urls"))
    settings.show_original_urls = ParseYesNo("--original-urls", *v);
  if (auto v = args.Value("--strikeout")) settings.strikeout_links = ParseYesNo("--strikeout", *v);
  if (auto v = args.Value("--detailed")) settings.detailed_index = ParseYesNo("--detailed", *v);
  if (auto v = args.Value("--emphasize")) {
    if (*v == "none") {
      settings.emphasize_links = false;
      return;
    }
    Emphasis emphasis;
    if (*v == "bold") {
      emphasis = Emphasis::kBold;
    } else if (*v == "italic") {
      emphasis = Emphasis::kItalic;
    } else if (*v == "larger") {
      emphasis = Emphasis::kLarger;
    } else if (*v == "custom") {
      emphasis = Emphasis::kCustom;  // the stored custom tags
    } else {
      throw UsageError("--emphasize takes none, bold, italic, larger or custom");
    }
    settings.emphasize_links = true;
    SetEmphasisTags(emphasis, stored.emphasize_tag, stored.de_emphasize_tag, settings);
  }
}

}  // namespace

int RunArchiveCommand(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  const auto to = args.Value("--to");
  const bool yes = args.Flag("--yes");

  SettingsStore store(SystemRegistry());
  InMemorySettings& settings = Settings();
  const PropertiesFields fields =
      LoadSettings(store, source.edition, settings, [] { return std::string(); });
  ApplyLinkOptions(args, fields, settings);
  if (to) {
    if (to->empty()) throw UsageError("--to needs a folder");
    settings.current_archive_folder = *to;
  }
  args.ExpectNoMore();
  if (settings.current_archive_folder.empty()) {
    throw UsageError("no archive folder: give --to FOLDER or set one in the settings");
  }

  TerminalPrompter prompter(yes, console.in, console.err);
  TCacheItemList cache = LoadCache(source, prompter, console);
  ChosenItems chosen = Choose(cache, choice, "archive", console.err);
  if (chosen.items.empty()) {
    prompter.ShowMessage("No files to archive.", MessageKind::kInformation, kButtonOk | kButtonHelp,
                         kNoFilesHelpContext);
    return kExitOk;
  }

  ArchiveRunEnvironment env;
  env.edition = source.edition;
  env.prompter = &prompter;
  env.settings = &settings;
  ArchiveRun run(env);
  run.PrepareArchiveRun();
  run.selection() = chosen.items;
  TerminalModalHost host(prompter, console.err);
  run.RunArchive(host);
  if (!yes) run.FinishArchiveRun();
  const ArchiveRunReport& report = run.report();
  if (Interrupted() || report.cancelled) {
    std::fprintf(console.err, "webhoard archive: cancelled; %zu items archived\n", report.copied);
    return kExitInterrupted;
  }
  if (!report.started) return kExitFailed;
  std::fprintf(console.err,
               "%zu items archived, %zu failed, %zu of no known type; catalogue holds %zu\n",
               report.copied, report.failed, report.untyped, report.catalogue_size);
  if (!report.save.ok || !report.error.empty()) return kExitFailed;
  const std::string index_page = JoinPath(settings.current_archive_folder, "1st_page.htm");
  if (FileExists(index_page)) std::fprintf(console.out, "%s\n", index_page.c_str());
  return kExitOk;
}

}  // namespace webhoard::cli
