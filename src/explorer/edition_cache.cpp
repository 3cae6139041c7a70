#include "explorer/edition_cache.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "cache/msie/read_ie_cache.h"
#include "cache/navigator/read_cache_index.h"
#include "common/file_util.h"
#include "explorer/browser_cache.h"
#include "platform/local_path.h"
#include "settings/settings_steps.h"

namespace webhoard {
namespace {

CacheLoadReport LoadNavigatorCache(const std::string& index, Prompter& prompter,
                                   TCacheItemList& items, const ReadStopCheck& stop) {
  CacheLoadReport report;
  report.name = index;
  if (const std::string path = LocalFileSystemPath(index); !FileExists(path)) {
    // The system's words for why it is not there ("No such file or
    // directory", "Permission denied").
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    report.error = index + ": " +
                   (error ? error.message()
                    : status.type() == std::filesystem::file_type::directory
                        ? "a folder, not a cache index file"
                        : "not a cache index file");
    return report;
  }
  CacheIndexStats stats;
  try {
    if (!ReadCacheIndex(index, items, prompter, &stats, stop)) {
      report.error = index + ": cannot open the cache index";
      return report;
    }
  } catch (const CacheIndexError& e) {
    report.error = index + ": " + e.what();
    return report;
  }
  report.stopped = stats.stopped;
  report.entries = stats.entries;
  report.items = stats.items_added;
  report.dropped = stats.dropped();
  return report;
}

// An error of the URL cache in words, with the layer's own account when it
// says more ("index.dat is damaged (/c/index.dat: bad hash table)").
std::string UrlCacheFailure(std::uint32_t error, const std::string& text) {
  std::string words = UrlCacheErrorWords(error);
  if (!text.empty() && text != words) words += " (" + text + ")";
  return words;
}

CacheLoadReport LoadInternetExplorerCache(const std::string& container, TCacheItemList& items,
                                          const ReadStopCheck& stop) {
  CacheLoadReport report;
  report.name = container.empty() ? "default container" : container;
  const std::string where =
      container.empty() ? std::string("the default cache container") : container;
  if (!container.empty() && !FileExists(JoinPath(container, "index.dat"))) {
    report.error = container + ": no index.dat in this folder";
    return report;
  }
  IECacheStats stats;
  ReadIECache(container, items, &stats, stop);
  report.stopped = stats.stopped;
  // A container that could not be opened is an error; one that opened with
  // "no more items" (every entry deleted) is an empty cache.
  if (!stats.stopped && stats.open_error != 0 && stats.open_error != kErrorNoMoreItems &&
      stats.entries == 0) {
    report.error = where + ": " + UrlCacheFailure(stats.open_error, stats.error_text);
    return report;
  }
  if (!stats.stopped && stats.entries > 0 && stats.end_error != kErrorNoMoreItems) {
    report.warning = where + ": reading stopped after " + std::to_string(stats.entries) +
                     " entries: " + UrlCacheFailure(stats.end_error, stats.error_text);
  }
  report.entries = stats.entries;
  report.items = stats.items_added;
  report.dropped = stats.dropped_no_host + stats.dropped_no_file + stats.dropped_not_regular;
  return report;
}

}  // namespace

std::string CacheLocationOf(const CacheSource& source, const SettingsStore& store) {
  if (source.edition == Edition::kInternetExplorer && source.location.empty()) {
    return ReadInternetExplorerCacheFolder(store);
  }
  return source.location;
}

CacheLoadReport LoadEditionCache(const CacheSource& source, const SettingsStore& store,
                                 Prompter& prompter, TCacheItemList& items,
                                 const ReadStopCheck& stop) {
  if (source.browser) return LoadBrowserCache(*source.browser, source.location, items, stop);
  if (source.edition == Edition::kNavigator) {
    return LoadNavigatorCache(source.location, prompter, items, stop);
  }
  return LoadInternetExplorerCache(CacheLocationOf(source, store), items, stop);
}

std::string CacheFolderOf(const std::string& index_path) {
  const std::string folder = FolderOfPath(index_path);
  return folder.empty() ? std::string(".") : LocalFileSystemPath(folder);
}

EditionCacheRemover::EditionCacheRemover(const CacheSource& source, const SettingsStore& store)
    : location_(CacheLocationOf(source, store)) {
  if (source.edition == Edition::kNavigator) navigator_.emplace(CacheFolderOf(location_));
}

void EditionCacheRemover::Remove(const TCacheItem& item) {
  if (navigator_) {
    navigator_->Remove(item);
    return;
  }
  if (!url_cache_remover_) {
    url_cache_ = OpenUrlCache(location_);
    if (!url_cache_) throw std::runtime_error("cannot open the URL cache of " + location_);
    url_cache_remover_.emplace(*url_cache_);
  }
  url_cache_remover_->Remove(item);
}

std::size_t EditionCacheRemover::failed() const {
  if (navigator_) return navigator_->failed();
  return url_cache_remover_ ? url_cache_remover_->failed() : 0;
}

std::string EditionCacheRemover::LastErrorText() const {
  return url_cache_ ? url_cache_->LastErrorText() : std::string();
}

}  // namespace webhoard
