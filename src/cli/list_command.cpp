// webhoard list: the chosen cache items, one per line.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/item_json.h"
#include "cli/terminal.h"
#include "common/date_time.h"

namespace webhoard::cli {

int RunList(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  const bool json = args.Flag("--json");
  args.ExpectNoMore();
  TerminalPrompter prompter(false, console);
  TCacheItemList cache = LoadCache(source, prompter, console);
  TSelectionForm explorer(source.edition, prompter, cache);
  ApplyChoice(explorer, choice, console);
  for (const TCacheItem* item : explorer.Chooser().ChosenItems(cache)) {
    if (json) {
      std::fputs(CacheItemJson(*item).c_str(), console.out);
      continue;
    }
    std::fprintf(console.out, "%d\t%d\t%s\t%s\t%s\t%s\n", item->MimeIndex, item->Category,
                 FormatDateTime(item->Date).c_str(), OutputField(item->URL).c_str(),
                 OutputField(item->Domain).c_str(), OutputField(item->LocalFile).c_str());
  }
  const CategoryCounts counts = explorer.shown_counts();
  std::fprintf(console.err, "Text %llu, Media %llu, Other %llu\n",
               static_cast<unsigned long long>(counts.text),
               static_cast<unsigned long long>(counts.media),
               static_cast<unsigned long long>(counts.other));
  return kExitOk;
}

}  // namespace webhoard::cli
