// Deleting the chosen items from the browser's cache: which confirmation to
// ask, and the walk that removes each chosen item from the cache and from
// the cache item list.
//
// The Navigator edition deletes the cached file (LocalFile) and leaves the
// browser's index as it is; the Internet Explorer edition asks the URL cache
// to delete the entry by its CacheKey, which also removes its file. The
// items come from a cache index on disk, which may be hostile: the readers
// already dropped names leading out of the cache folder, and the Navigator
// remover checks again, on the resolved path, right before it deletes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cache/cache_item.h"
#include "explorer/domain_table.h"
#include "explorer/item_chooser.h"
#include "platform/url_cache.h"

namespace webhoard {

inline constexpr std::string_view kNoFilesToDelete = "No files to delete.";
inline constexpr std::string_view kConfirmDelete =
    "Are you sure you want to delete these\r\nitems from the cache?\r\n";
inline constexpr std::string_view kConfirmDeleteWholeCache =
    "Are you sure you want to delete these\r\nitems from the cache?\r\n\r\nWARNING : This "
    "selection will delete\r\nthe entire cache. Continue?";
inline constexpr std::string_view kDeletingNotice = "Deleting items. Please wait";
inline constexpr int kNoFilesHelpContext = 11;

enum class DeleteConfirmation { kNothingToDelete, kOrdinary, kWholeCache };

// Decided from what the dialog shows: the counters, the boxes, whether the
// filter is "All ages" and whether "Available Domains" is empty. The whole-
// cache warning is used exactly when nothing is held back: all ages, no
// domain left out, and no category with a non-zero counter unchecked.
DeleteConfirmation ChooseDeleteConfirmation(const CategoryCounts& shown,
                                            const CategoryChecks& checks, bool all_ages,
                                            bool available_domains_empty);
// The number of items the checked counters add up to.
std::uint64_t SelectedCount(const CategoryCounts& shown, const CategoryChecks& checks);
// The text of a confirmation (empty for kNothingToDelete).
std::string_view DeleteConfirmationText(DeleteConfirmation confirmation);

// Removes one item from the browser's cache. A failure is not reported: the
// walk goes on, as the user cannot do anything about one file in use.
class CacheRemover {
 public:
  virtual ~CacheRemover() = default;
  virtual void Remove(const TCacheItem& item) = 0;
};

// Navigator: deletes LocalFile, but only when it lies inside `cache_folder`
// (the folder of the cache index) once every link in its folder path is
// resolved. A file elsewhere is left alone and counted as refused.
class NavigatorCacheRemover final : public CacheRemover {
 public:
  explicit NavigatorCacheRemover(std::string cache_folder);
  void Remove(const TCacheItem& item) override;
  // True when `path` names a file inside the cache folder.
  bool InsideCacheFolder(const std::string& path) const;

  std::size_t deleted() const { return deleted_; }
  std::size_t refused() const { return refused_; }
  std::size_t failed() const { return failed_; }

 private:
  std::string cache_folder_;  // resolved, empty when the folder does not exist
  std::size_t deleted_ = 0;
  std::size_t refused_ = 0;
  std::size_t failed_ = 0;
};

// Internet Explorer: DeleteUrlCacheEntry(CacheKey). An item without a key
// is not the cache's, so nothing is asked of the cache for it.
class UrlCacheRemover final : public CacheRemover {
 public:
  explicit UrlCacheRemover(UrlCache& cache) : cache_(cache) {}
  void Remove(const TCacheItem& item) override;

  std::size_t deleted() const { return deleted_; }
  std::size_t failed() const { return failed_; }

 private:
  UrlCache& cache_;
  std::size_t deleted_ = 0;
  std::size_t failed_ = 0;
};

// The walk: every chosen item, in list order, is removed from the cache and
// dropped from `items` whether or not the removal worked; the other items
// keep their order. Answers how many were dropped. When the remover throws,
// the items handled before stay dropped, the rest stay in the list, and the
// error goes on to the caller.
std::size_t DeleteChosenItems(TCacheItemList& items, const ItemChooser& chooser,
                              CacheRemover& remover);

}  // namespace webhoard
