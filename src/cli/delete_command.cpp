// webhoard delete: the Cache Explorer's Delete command.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "explorer/browser_cache.h"
#include "explorer/cache_deletion.h"
#include "explorer/edition_cache.h"
#include "platform/registry.h"
#include "settings/settings_store.h"

namespace webhoard::cli {
namespace {

// The dialog's confirmation in words that say what will go; the whole
// cache gets the stronger warning the dialog gives it.
std::string DeleteQuestion(const TSelectionForm& explorer, const std::vector<TCacheItem*>& chosen) {
  const DeleteConfirmation confirmation =
      ChooseDeleteConfirmation(explorer.shown_counts(), explorer.checks(),
                               explorer.OldNewBox.item_index == static_cast<int>(AgeMode::kAllAges),
                               explorer.SrcList.items.empty());
  const std::string what = ItemsOfSites(chosen);
  if (confirmation == DeleteConfirmation::kWholeCache) {
    return "WARNING: this deletes the entire cache, all " + what + ". Delete them?";
  }
  return "delete " + what + " from the cache?";
}

}  // namespace

int RunDelete(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  const bool yes = args.Flag("--yes");
  args.ExpectNoMore();
  if (source.browser) {
    throw UsageError("the " + BrowserName(*source.browser) +
                     " cache is only read: webhoard never deletes from it (the browser "
                     "clears its own cache)");
  }

  TerminalPrompter prompter(yes, console);
  TCacheItemList cache = LoadCache(source, prompter, console);
  TSelectionForm explorer(source.edition, prompter, cache);
  ApplyChoice(explorer, choice, console);
  const std::vector<TCacheItem*> chosen = explorer.Chooser().ChosenItems(cache);
  if (chosen.empty()) {
    std::fprintf(console.err, "nothing to delete: no cached item is chosen\n");
    std::fprintf(console.out, "0\n");
    return kExitOk;
  }
  if (!prompter.Ask(DeleteQuestion(explorer, chosen))) {
    Complain(console, "nothing deleted");
    std::fprintf(console.out, "0\n");
    return kExitDeclined;
  }

  // The dialog's Delete button, its confirmation answered above.
  EditionCacheRemover remover(source, SettingsStore(SystemRegistry()));
  explorer.set_cache_remover(&remover);
  prompter.AnswerNextQuestion(true);
  const std::size_t removed = explorer.DeleteButtonClick();
  if (source.edition == Edition::kNavigator && remover.refused() + remover.failed() > 0) {
    Complain(console, std::to_string(remover.refused()) +
                          " files outside the cache folder left alone, " +
                          std::to_string(remover.failed()) + " could not be deleted");
  }
  if (source.edition == Edition::kInternetExplorer && remover.failed() > 0) {
    Complain(console, std::to_string(remover.failed()) +
                          " entries could not be deleted: " + remover.LastErrorText());
  }
  std::fprintf(console.out, "%zu\n", removed);
  return kExitOk;
}

}  // namespace webhoard::cli
