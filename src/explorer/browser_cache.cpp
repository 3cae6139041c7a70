#include "explorer/browser_cache.h"

#include <vector>

#include "cache/chromium/blockfile_reader.h"
#include "cache/chromium/chromium_entry.h"
#include "cache/chromium/simple_cache_reader.h"
#include "cache/firefox/cache2_reader.h"
#include "cache/modern/stored_items.h"

namespace webhoard {
namespace {

StoredResponses ReadFound(CacheBrowser browser, const FoundCache& found,
                          const ReadStopCheck& stop) {
  if (browser == CacheBrowser::kFirefox) return ReadFirefoxCache(found.folder, stop);
  if (found.backend == ChromiumBackend::kBlockfile) {
    StoredResponses read;
    ReadBlockfileCache(
        found.folder, [&read](ChromiumEntry&& entry) { AddChromiumEntry(std::move(entry), read); },
        read.notes, stop);
    return read;
  }
  return ReadSimpleCache(found.folder, stop);
}

std::string Listed(const std::vector<FoundCache>& caches) {
  std::string text;
  for (const FoundCache& cache : caches) text += "\n  " + cache.folder + " (" + cache.description + ")";
  return text;
}

// The one cache to read, or the error that says why there is none.
const FoundCache* OneCache(CacheBrowser browser, const std::string& dir,
                           const std::vector<FoundCache>& caches, std::string& error) {
  const std::string name = BrowserName(browser);
  const std::string option = browser == CacheBrowser::kFirefox ? "--firefox" : "--chromium";
  if (caches.empty()) {
    error = dir.empty() ? "no " + name + " cache in the browsers' usual places; name its folder: " +
                              option + " DIR"
                        : "no " + name + " cache in " + dir;
    return nullptr;
  }
  if (caches.size() > 1) {
    error = "several " + name + " caches" + (dir.empty() ? std::string() : " in " + dir) +
            "; name one: " + option + " DIR" + Listed(caches);
    return nullptr;
  }
  return &caches.front();
}

}  // namespace

std::string BrowserName(CacheBrowser browser) {
  return browser == CacheBrowser::kFirefox ? "Firefox" : "Chromium";
}

CacheLoadReport LoadBrowserCache(CacheBrowser browser, const std::string& dir,
                                 TCacheItemList& items, const ReadStopCheck& stop) {
  CacheLoadReport report;
  report.name = dir.empty() ? BrowserName(browser) + " cache" : dir;
  const std::vector<FoundCache> caches =
      dir.empty() ? FindDefaultCaches(browser) : FindCachesIn(browser, dir);
  const FoundCache* found = OneCache(browser, dir, caches, report.error);
  if (found == nullptr) return report;
  report.name = found->folder;
  // Found in the usual places: say whose cache it is.
  if (dir.empty()) report.found = found->description;
  StoredResponses read = ReadFound(browser, *found, stop);
  // The stop check stays true once it has answered so (Ctrl-C's flag).
  report.stopped = stop && stop();
  std::uint64_t unusable = 0;
  const std::size_t before = items.size();
  AppendStoredItems(read, items, &unusable);
  report.entries = read.entries;
  report.items = items.size() - before;
  report.dropped = read.SkippedCount() + unusable;
  report.skipped = read.SkippedWords();
  if (unusable != 0) {
    report.skipped += std::string(report.skipped.empty() ? "" : ", ") + std::to_string(unusable) +
                      " without a usable host";
  }
  for (const std::string& note : read.notes) {
    report.warning += (report.warning.empty() ? "" : "; ") + note;
  }
  report.redirects = std::move(read.redirects);
  return report;
}

}  // namespace webhoard
