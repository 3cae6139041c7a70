// webhoard list: the chosen cache items, one per line.
#include "cli/cache_source.h"
#include "cli/choice.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "common/date_time.h"

namespace webhoard::cli {

int RunList(Arguments& args, Console& console) {
  const CacheSource source = ParseCacheSource(args);
  const CacheChoice choice = ParseChoice(args);
  args.ExpectNoMore();
  TerminalPrompter prompter(false, console.in, console.err);
  TCacheItemList cache = LoadCache(source, prompter, console);
  const ChosenItems chosen = Choose(cache, choice, "list", console.err);
  for (const TCacheItem* item : chosen.items) {
    std::fprintf(console.out, "%d\t%d\t%s\t%s\t%s\t%s\n", item->MimeIndex, item->Category,
                 FormatDateTime(item->Date).c_str(), OutputField(item->URL).c_str(),
                 OutputField(item->Domain).c_str(), OutputField(item->LocalFile).c_str());
  }
  std::fprintf(console.err, "Text %llu, Media %llu, Other %llu\n",
               static_cast<unsigned long long>(chosen.counts.text),
               static_cast<unsigned long long>(chosen.counts.media),
               static_cast<unsigned long long>(chosen.counts.other));
  return kExitOk;
}

}  // namespace webhoard::cli
