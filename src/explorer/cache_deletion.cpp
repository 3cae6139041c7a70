#include "explorer/cache_deletion.h"

#include <filesystem>
#include <system_error>

#include "platform/file_system.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

// The folder path with every link resolved; empty when it cannot be.
std::string ResolvedFolder(const fs::path& folder) {
  std::error_code error;
  fs::path resolved = fs::canonical(folder, error);
  if (error) return {};
  return resolved.string();
}

}  // namespace

std::uint64_t SelectedCount(const CategoryCounts& shown, const CategoryChecks& checks) {
  return (checks.text ? shown.text : 0) + (checks.media ? shown.media : 0) +
         (checks.other ? shown.other : 0);
}

DeleteConfirmation ChooseDeleteConfirmation(const CategoryCounts& shown,
                                            const CategoryChecks& checks, bool all_ages,
                                            bool available_domains_empty) {
  const std::uint64_t selected = SelectedCount(shown, checks);
  if (selected == 0) return DeleteConfirmation::kNothingToDelete;
  if (all_ages && available_domains_empty && shown.Total() == selected) {
    return DeleteConfirmation::kWholeCache;
  }
  return DeleteConfirmation::kOrdinary;
}

std::string_view DeleteConfirmationText(DeleteConfirmation confirmation) {
  switch (confirmation) {
    case DeleteConfirmation::kOrdinary:
      return kConfirmDelete;
    case DeleteConfirmation::kWholeCache:
      return kConfirmDeleteWholeCache;
    case DeleteConfirmation::kNothingToDelete:
      break;
  }
  return {};
}

NavigatorCacheRemover::NavigatorCacheRemover(std::string cache_folder)
    : cache_folder_(cache_folder.empty() ? std::string() : ResolvedFolder(cache_folder)) {}

bool NavigatorCacheRemover::InsideCacheFolder(const std::string& path) const {
  // A NUL would cut the path the system sees short of the one checked here.
  if (cache_folder_.empty() || path.empty() || path.find('\0') != std::string::npos) return false;
  const fs::path file(path);
  const fs::path name = file.filename();
  if (name.empty() || name == "." || name == "..") return false;
  // The file itself may be a link: deleting it removes only the link, which
  // lies in the cache. Its folder, though, must resolve into the cache.
  const std::string folder = ResolvedFolder(file.parent_path().empty() ? "." : file.parent_path());
  if (folder.empty()) return false;
  const fs::path relative = fs::path(folder).lexically_relative(cache_folder_);
  if (relative.empty()) return false;
  return *relative.begin() != "..";
}

void NavigatorCacheRemover::Remove(const TCacheItem& item) {
  if (!InsideCacheFolder(item.LocalFile)) {
    ++refused_;
    return;
  }
  if (RemoveFileOnly(item.LocalFile)) {
    ++deleted_;
  } else {
    ++failed_;
  }
}

void UrlCacheRemover::Remove(const TCacheItem& item) {
  if (!item.CacheKey) {
    ++failed_;
    return;
  }
  if (cache_.DeleteUrlCacheEntry(*item.CacheKey)) {
    ++deleted_;
  } else {
    ++failed_;
  }
}

std::size_t DeleteChosenItems(TCacheItemList& items, const ItemChooser& chooser,
                              CacheRemover& remover) {
  // One pass that closes the gaps as it goes, so that a long list is not
  // shifted once per deleted item; the order of the kept items is the same.
  std::size_t kept = 0;
  std::size_t next = 0;
  auto close_gaps = [&] {
    for (; next < items.size(); ++next, ++kept) {
      if (kept != next) items[kept] = std::move(items[next]);
    }
    items.resize(kept);
  };
  try {
    for (; next < items.size(); ++next) {
      TCacheItem* item = items[next].get();
      if (item != nullptr && chooser.Chosen(*item)) {
        remover.Remove(*item);
        items[next].reset();
        continue;
      }
      if (kept != next) items[kept] = std::move(items[next]);
      ++kept;
    }
  } catch (...) {
    // The item in hand was not removed: it stays, as do the unvisited ones.
    close_gaps();
    throw;
  }
  const std::size_t dropped = items.size() - kept;
  items.resize(kept);
  return dropped;
}

}  // namespace webhoard
