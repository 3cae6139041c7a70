#include "cli/cache_source.h"

#include "cache/msie/read_ie_cache.h"
#include "cache/navigator/read_cache_index.h"
#include "common/file_util.h"
#include "platform/local_path.h"
#include "platform/registry.h"
#include "settings/settings_steps.h"

namespace webhoard::cli {

CacheSource ParseCacheSource(Arguments& args) {
  const auto netscape = args.Value("--netscape");
  const auto ie = args.OptionalValue("--ie");
  if (netscape && ie) throw UsageError("give --netscape or --ie, not both");
  if (!netscape && !ie)
    throw UsageError("name the cache: --netscape INDEXFILE or --ie [CONTAINERFOLDER]");
  if (netscape) return {Edition::kNavigator, *netscape};
  return {Edition::kExplorer, *ie};
}

TCacheItemList LoadCache(const CacheSource& source, Prompter& prompter, Console& console) {
  TCacheItemList items;
  if (source.edition == Edition::kNavigator) {
    if (!FileExists(LocalFileSystemPath(source.location))) {
      throw WorkError(source.location + ": no such cache index file");
    }
    CacheIndexStats stats;
    try {
      if (!ReadCacheIndex(source.location, items, prompter, &stats)) {
        throw WorkError(source.location + ": cannot open the cache index");
      }
    } catch (const CacheIndexError& e) {
      throw WorkError(source.location + ": " + e.what());
    }
    std::fprintf(console.err, "%s: %llu entries, %llu items, %llu dropped\n",
                 source.location.c_str(), static_cast<unsigned long long>(stats.entries),
                 static_cast<unsigned long long>(stats.items_added),
                 static_cast<unsigned long long>(stats.dropped()));
    return items;
  }
  std::string container = source.location;
  if (container.empty()) container = ReadExplorerCacheFolder(SettingsStore(SystemRegistry()));
  if (!container.empty() && !FileExists(JoinPath(container, "index.dat"))) {
    throw WorkError(container + ": no index.dat in this folder");
  }
  IECacheStats stats;
  ReadIECache(container, items, &stats);
  if (stats.open_error != 0 && stats.entries == 0) {
    throw WorkError((container.empty() ? std::string("the default cache container") : container) +
                    ": cannot read the URL cache (error " + std::to_string(stats.open_error) + ")");
  }
  std::fprintf(console.err, "%s: %llu entries, %llu items, %llu dropped\n",
               container.empty() ? "default container" : container.c_str(),
               static_cast<unsigned long long>(stats.entries),
               static_cast<unsigned long long>(stats.items_added),
               static_cast<unsigned long long>(stats.dropped_no_host + stats.dropped_no_file));
  return items;
}

}  // namespace webhoard::cli
