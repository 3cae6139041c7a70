#include "cli/cache_source.h"

#include <chrono>
#include <cstdint>

#include "cache/read_stop.h"
#include "cli/terminal.h"
#include "explorer/browser_cache.h"
#include "platform/registry.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace webhoard::cli {

CacheSource ParseCacheSource(Arguments& args) {
  const auto netscape = args.Value("--netscape");
  const auto ie = args.Value("--ie");
  const auto chromium = args.Value("--chromium");
  const auto firefox = args.Value("--firefox");
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

// The line "reading the cache: N entries..." while a large index is read.
// The readers ask their stop check once every kEntriesPerStopCheck entries,
// which is count enough; a read done within a second draws nothing.
class ReadingProgress {
 public:
  explicit ReadingProgress(const Console& console) : console_(console) {}
  ~ReadingProgress() {
    if (drawn_) std::fprintf(console_.err, "\n");
  }
  ReadingProgress(const ReadingProgress&) = delete;
  ReadingProgress& operator=(const ReadingProgress&) = delete;

  // The stop check handed to the reader.
  bool Stop() {
    checks_ += 1;
    if (!console_.progress) return Interrupted();
    const auto now = std::chrono::steady_clock::now();
    if (now - started_ >= std::chrono::seconds(1) &&
        now - last_ >= std::chrono::milliseconds(200)) {
      last_ = now;
      drawn_ = true;
      std::fprintf(console_.err, "\rreading the cache: about %llu entries",
                   static_cast<unsigned long long>((checks_ - 1) * kEntriesPerStopCheck));
      std::fflush(console_.err);
    }
    return Interrupted();
  }

 private:
  const Console& console_;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_ = started_;
  std::uint64_t checks_ = 0;
  bool drawn_ = false;
};

}  // namespace

TCacheItemList LoadCache(const CacheSource& requested, Prompter& prompter, Console& console,
                         RememberCache remember, std::vector<StoredRedirect>* redirects) {
  TCacheItemList items;
  SettingsStore store(SystemRegistry());
  const CacheSource source = WithLastCache(requested, store, console);
  CacheLoadReport report;
  {
    ReadingProgress progress(console);
    report = LoadEditionCache(source, store, prompter, items, [&] { return progress.Stop(); });
  }
  if (remember == RememberCache::kYes && source.browser && report.ok() && !report.stopped) {
    store.WriteSettingText(kBrowserCaches, LastCacheSetting(*source.browser), report.name);
  }
  if (report.stopped) {
    throw InterruptedError(report.name + ": interrupted while reading the cache (" +
                           std::to_string(report.entries) + " entries read); nothing done");
  }
  if (!report.ok()) throw WorkError(report.error);
  if (redirects != nullptr) *redirects = report.redirects;
  if (!report.warning.empty()) {
    Complain(console, "warning: " + report.warning);
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
