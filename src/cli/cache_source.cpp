#include "cli/cache_source.h"

#include "cli/terminal.h"
#include "platform/registry.h"
#include "settings/settings_store.h"

namespace webhoard::cli {

CacheSource ParseCacheSource(Arguments& args) {
  const auto netscape = args.Value("--netscape");
  const auto ie = args.OptionalValue("--ie");
  if (netscape && ie) throw UsageError("give --netscape or --ie, not both");
  if (!netscape && !ie)
    throw UsageError("name the cache: --netscape INDEXFILE or --ie [CONTAINERFOLDER]");
  if (netscape) return {Edition::kNavigator, *netscape};
  return {Edition::kInternetExplorer, *ie};
}

TCacheItemList LoadCache(const CacheSource& source, Prompter& prompter, Console& console) {
  TCacheItemList items;
  const CacheLoadReport report = LoadEditionCache(source, SettingsStore(SystemRegistry()), prompter,
                                                  items, [] { return Interrupted(); });
  if (report.stopped) {
    throw InterruptedError(report.name + ": interrupted while reading the cache (" +
                           std::to_string(report.entries) + " entries read); nothing done");
  }
  if (!report.ok()) throw WorkError(report.error);
  if (!report.warning.empty()) {
    std::fprintf(console.err, "webhoard: warning: %s\n", TerminalText(report.warning).c_str());
  }
  std::fprintf(console.err, "%s: %llu entries, %llu items, %llu dropped\n",
               TerminalText(report.name).c_str(), static_cast<unsigned long long>(report.entries),
               static_cast<unsigned long long>(report.items),
               static_cast<unsigned long long>(report.dropped));
  return items;
}

}  // namespace webhoard::cli
