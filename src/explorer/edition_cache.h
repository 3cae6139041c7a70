// The browser cache of an edition: where it is, reading it into the cache
// item list, and the remover that deletes from it. The command line and the
// windows both start from here, so the two editions are told apart in one
// place: Navigator reads a cache index file and deletes the files beside it,
// Internet Explorer reads a URL cache container and deletes its entries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <vector>

#include "cache/cache_item.h"
#include "cache/http/stored_response.h"
#include "cache/places/browser_cache_places.h"
#include "cache/read_stop.h"
#include "common/edition.h"
#include "common/prompter.h"
#include "explorer/cache_deletion.h"
#include "platform/url_cache.h"
#include "settings/settings_store.h"

namespace webhoard {

struct CacheSource {
  CacheSource() = default;
  CacheSource(Edition edition_of_source, std::string location_of_source,
              std::optional<CacheBrowser> browser_of_source = std::nullopt)
      : edition(edition_of_source),
        location(std::move(location_of_source)),
        browser(browser_of_source) {}

  Edition edition = Edition::kNavigator;
  // Navigator: the cache index file. Internet Explorer: the container folder
  // (the folder of index.dat); empty means the folder of the settings, and
  // when that is empty too, the default container. Today's browsers: the
  // folder the user named (a user-data, profile or cache folder), empty for
  // the browsers' usual places.
  std::string location;
  // Set for the caches of today's browsers, which are read like Navigator's
  // (copies named after their address) and never deleted from.
  std::optional<CacheBrowser> browser;
};

// The container folder an Internet Explorer source reads ("" for the default
// container); a Navigator source's index file as it is.
std::string CacheLocationOf(const CacheSource& source, const SettingsStore& store);

// What a load read, for the caller to report.
struct CacheLoadReport {
  // Why nothing could be read, naming the cache; empty when the cache was read.
  std::string error;
  // Why the read ended before the end of the cache (the items before stay);
  // empty when it read to the end or was stopped.
  std::string warning;
  // The stop check ended the read; the items read until then stay.
  bool stopped = false;
  // The cache as messages name it ("default container" for the default one).
  std::string name;
  std::uint64_t entries = 0;
  std::uint64_t items = 0;    // items appended to the list
  std::uint64_t dropped = 0;  // entries left out
  // Today's browsers: which cache was found ("Google Chrome, profile
  // Default") and why entries were skipped ("3 not 200, 1 partial").
  std::string found;
  std::string skipped;
  // Today's browsers: the redirects the cache holds, for the archive run's
  // links.
  std::vector<StoredRedirect> redirects;
  bool ok() const { return error.empty(); }
};

// Reads the cache of `source` and appends its items to `items`. A missing
// index file or container, a Navigator index that cannot be opened or read,
// and an Internet Explorer container of which not one entry could be read
// are errors, told in words with the cache's path; an empty cache (a
// container whose every entry was deleted too) is not. Navigator asks
// `prompter` to close the browser when its index is held open. `stop` is
// asked every few thousand entries and can end the read early.
CacheLoadReport LoadEditionCache(const CacheSource& source, const SettingsStore& store,
                                 Prompter& prompter, TCacheItemList& items,
                                 const ReadStopCheck& stop = {});

// The folder a Navigator remover may delete in: the folder of the cache index
// as this system names it ("C:\\nav\\FAT.DB" through the Wine prefix on Linux),
// "." for a bare file name.
std::string CacheFolderOf(const std::string& index_path);

// The remover of an edition's cache. The Internet Explorer container is
// opened at the first removal, so a Delete the user declines never opens it;
// when it cannot be opened, that first removal throws std::runtime_error.
class EditionCacheRemover final : public CacheRemover {
 public:
  EditionCacheRemover(const CacheSource& source, const SettingsStore& store);
  void Remove(const TCacheItem& item) override;

  // Navigator: files outside the cache folder, left alone.
  std::size_t refused() const { return navigator_ ? navigator_->refused() : 0; }
  // Files or entries that could not be deleted.
  std::size_t failed() const;
  // Internet Explorer: the URL cache's last error, in words.
  std::string LastErrorText() const;

 private:
  std::string location_;
  std::optional<NavigatorCacheRemover> navigator_;
  std::unique_ptr<UrlCache> url_cache_;
  std::optional<UrlCacheRemover> url_cache_remover_;
};

}  // namespace webhoard
