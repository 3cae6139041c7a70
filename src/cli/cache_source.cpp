#include "cli/cache_source.h"

#include "cli/terminal.h"
#include "platform/registry.h"
#include "settings/settings_store.h"

namespace webhoard::cli {

CacheSource ParseCacheSource(Arguments& args) {
  const auto netscape = args.Value("--netscape");
  const auto ie = args.OptionalValue("--ie");
  const auto chromium = args.OptionalValue("--chromium");
  const auto firefox = args.OptionalValue("--firefox");
  const int named = int{netscape.has_value()} + int{ie.has_value()} +
                    int{chromium.has_value()} + int{firefox.has_value()};
  if (named > 1) throw UsageError("name one cache: --netscape, --ie, --chromium or --firefox");
  if (named == 0) {
    throw UsageError(
        "name the cache: --netscape INDEXFILE, --ie [CONTAINERFOLDER], --chromium [DIR] or "
        "--firefox [DIR]");
  }
  if (netscape) return {Edition::kNavigator, *netscape, std::nullopt};
  if (ie) return {Edition::kInternetExplorer, *ie, std::nullopt};
  // Today's caches are archived as Navigator's are: copies named after the
  // address.
  if (chromium) return {Edition::kNavigator, *chromium, CacheBrowser::kChromium};
  return {Edition::kNavigator, *firefox, CacheBrowser::kFirefox};
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
  if (!report.found.empty()) {
    std::fprintf(console.err, "found the cache of %s\n", TerminalText(report.found).c_str());
  }
  if (source.browser) {
    std::fprintf(console.err, "%s: %llu entries, %llu items, %llu skipped%s%s\n",
                 TerminalText(report.name).c_str(), static_cast<unsigned long long>(report.entries),
                 static_cast<unsigned long long>(report.items),
                 static_cast<unsigned long long>(report.dropped), report.skipped.empty() ? "" : ": ",
                 TerminalText(report.skipped).c_str());
    return items;
  }
  std::fprintf(console.err, "%s: %llu entries, %llu items, %llu dropped\n",
               TerminalText(report.name).c_str(), static_cast<unsigned long long>(report.entries),
               static_cast<unsigned long long>(report.items),
               static_cast<unsigned long long>(report.dropped));
  return items;
}

}  // namespace webhoard::cli
