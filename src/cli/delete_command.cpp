// webhoard delete: the Cache Explorer's Delete command.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "explorer/cache_deletion.h"
#include "platform/local_path.h"
#include "platform/registry.h"
#include "platform/url_cache.h"
#include "settings/settings_steps.h"

namespace webhoard::cli {
namespace {

// The folder of the cache index as this system names it: the folder the
// reader took the index's file names to be in ("C:\nav\" of
// "C:\nav\FAT.DB", through the Wine prefix on Linux).
std::string FolderOf(const std::string& index_path) {
  const std::string folder = FolderOfPath(index_path);
  return folder.empty() ? std::string(".") : LocalFileSystemPath(folder);
}

}  // namespace

int RunDelete(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  const bool yes = args.Flag("--yes");
  args.ExpectNoMore();

  TerminalPrompter prompter(yes, console.in, console.err);
  TCacheItemList cache = LoadCache(source, prompter, console);
  const ChosenItems chosen = Choose(cache, choice, "delete", console.err);

  const DeleteConfirmation confirmation =
      ChooseDeleteConfirmation(chosen.counts, choice.checks, choice.mode == AgeMode::kAllAges,
                               chosen.available_domains_empty);
  if (confirmation == DeleteConfirmation::kNothingToDelete) {
    prompter.ShowMessage(kNoFilesToDelete, MessageKind::kInformation, kButtonOk | kButtonHelp,
                         kNoFilesHelpContext);
    std::fprintf(console.out, "0\n");
    return kExitOk;
  }
  const MessageResult answer =
      prompter.ShowMessage(DeleteConfirmationText(confirmation), MessageKind::kConfirmation,
                           kButtonYes | kButtonNo | kButtonCancel, 0);
  if (answer != MessageResult::kYes) {
    std::fprintf(console.out, "0\n");
    return kExitOk;
  }

  const ItemChooser chooser(chosen.window, chosen.archive_domains, choice.checks);
  std::size_t removed = 0;
  if (source.edition == Edition::kNavigator) {
    NavigatorCacheRemover remover(FolderOf(source.location));
    removed = DeleteChosenItems(cache, chooser, remover);
    if (remover.refused() + remover.failed() > 0) {
      std::fprintf(console.err,
                   "webhoard delete: %zu files outside the cache folder left alone, %zu could not "
                   "be deleted\n",
                   remover.refused(), remover.failed());
    }
  } else {
    std::string container = source.location;
    if (container.empty()) container = ReadExplorerCacheFolder(SettingsStore(SystemRegistry()));
    std::unique_ptr<UrlCache> url_cache = OpenUrlCache(container);
    if (!url_cache) throw WorkError("cannot open the URL cache of " + container);
    UrlCacheRemover remover(*url_cache);
    removed = DeleteChosenItems(cache, chooser, remover);
    if (remover.failed() > 0) {
      std::fprintf(console.err, "webhoard delete: %zu entries could not be deleted (%s)\n",
                   remover.failed(), url_cache->LastErrorText().c_str());
    }
  }
  std::fprintf(console.out, "%zu\n", removed);
  return kExitOk;
}

}  // namespace webhoard::cli
