// webhoard delete: the Cache Explorer's Delete command.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "explorer/browser_cache.h"
#include "explorer/edition_cache.h"
#include "platform/registry.h"
#include "settings/settings_store.h"

namespace webhoard::cli {

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

  TerminalPrompter prompter(yes, console.in, console.err);
  TCacheItemList cache = LoadCache(source, prompter, console);
  TSelectionForm explorer(source.edition, prompter, cache);
  ApplyChoice(explorer, choice, "delete", console.err);

  // The dialog's Delete button: the confirmation, then the walk.
  EditionCacheRemover remover(source, SettingsStore(SystemRegistry()));
  explorer.set_cache_remover(&remover);
  const std::size_t removed = explorer.DeleteButtonClick();
  if (source.edition == Edition::kNavigator && remover.refused() + remover.failed() > 0) {
    std::fprintf(console.err,
                 "webhoard delete: %zu files outside the cache folder left alone, %zu could not "
                 "be deleted\n",
                 remover.refused(), remover.failed());
  }
  if (source.edition == Edition::kInternetExplorer && remover.failed() > 0) {
    std::fprintf(console.err, "webhoard delete: %zu entries could not be deleted (%s)\n",
                 remover.failed(), TerminalText(remover.LastErrorText()).c_str());
  }
  std::fprintf(console.out, "%zu\n", removed);
  return kExitOk;
}

}  // namespace webhoard::cli
