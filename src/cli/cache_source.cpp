#include "cli/cache_source.h"

#include "cli/terminal.h"
#include "explorer/browser_cache.h"
#include "platform/registry.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace webhoard::cli {

CacheSource ParseCacheSource(Arguments& args) {
  const auto netscape = args.Value("--netscape");
  const auto ie = args.OptionalValue("--ie");
  const auto chromium = args.OptionalValue("--chromium");
  const auto firefox = args.OptionalValue("--firefox");
  const int named = int{netscape.has_value()} + int{ie.has_value()} + int{chromium.has_value()} +
                    int{firefox.has_value()};
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

namespace {

std::string_view LastCacheSetting(CacheBrowser browser) {
  return browser == CacheBrowser::kFirefox ? kFirefoxCache : kChromiumCache;
}

// A browser source without a folder reads the cache read last, while that
// folder still holds one; else the browsers' usual places are searched.
CacheSource WithLastCache(CacheSource source, const SettingsStore& store, Console& console) {
  if (!source.browser || !source.location.empty()) return source;
  const std::string last =
      store.ReadSettingText(kBrowserCaches, LastCacheSetting(*source.browser), "");
  if (last.empty() || FindCachesIn(*source.browser, last).size() != 1) return source;
  std::fprintf(console.err, "the %s cache read last: %s\n", BrowserName(*source.browser).c_str(),
               TerminalText(last).c_str());
  source.location = last;
  return source;
}

}  // namespace

TCacheItemList LoadCache(const CacheSource& requested, Prompter& prompter, Console& console,
                         RememberCache remember) {
  TCacheItemList items;
  SettingsStore store(SystemRegistry());
  const CacheSource source = WithLastCache(requested, store, console);
  const CacheLoadReport report =
      LoadEditionCache(source, store, prompter, items, [] { return Interrupted(); });
  if (remember == RememberCache::kYes && source.browser && report.ok() && !report.stopped) {
    store.WriteSettingText(kBrowserCaches, LastCacheSetting(*source.browser), report.name);
  }
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
                 static_cast<unsigned long long>(report.dropped),
                 report.skipped.empty() ? "" : ": ", TerminalText(report.skipped).c_str());
    return items;
  }
  std::fprintf(console.err, "%s: %llu entries, %llu items, %llu dropped\n",
               TerminalText(report.name).c_str(), static_cast<unsigned long long>(report.entries),
               static_cast<unsigned long long>(report.items),
               static_cast<unsigned long long>(report.dropped));
  return items;
}

}  // namespace webhoard::cli
