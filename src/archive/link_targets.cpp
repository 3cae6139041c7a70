#include "archive/link_targets.h"

#include <algorithm>
#include <optional>

#include "archive/archive_layout.h"
#include "archive/link_resolver.h"
#include "url/canonical_url.h"

namespace webhoard {
namespace {

// Browsers give up after about twenty; caches rarely hold more than two in a
// row, and a loop must end.
constexpr int kMostRedirectsFollowed = 20;

}  // namespace

LinkTargets::LinkTargets(const std::vector<TCacheItem*>& selection, const ArchiveList* archive)
    : archive_(archive) {
  selection_.reserve(selection.size());
  first_in_selection_.reserve(selection.size());
  for (const TCacheItem* item : selection) {
    if (item == nullptr) continue;
    if (!first_in_selection_.try_emplace(item->URL, selection_.size()).second) {
      repeated_urls_ = true;
    }
    selection_.push_back(item);
  }
}

const TCacheItem* LinkTargets::Find(std::string_view url) const {
  std::string current(url);
  for (int redirects = 0;; ++redirects) {
    if (const TCacheItem* item = FindSpelling(current)) return item;
    // Archives written before https addresses kept their scheme hold an
    // https page under its http spelling.
    if (const auto older = HttpSpellingOf(current)) {
      if (const TCacheItem* item = FindSpelling(*older)) return item;
    }
    const auto next = redirects_.find(current);
    if (next == redirects_.end() || redirects == kMostRedirectsFollowed) return nullptr;
    current = next->second;
  }
}

void LinkTargets::AddRedirect(std::string_view address, std::string_view location) {
  const CanonicalUrl from = CanonicalFromStoredUrl(address);
  const std::optional<std::string> target = ResolveModernLink(location, address);
  if (!from.usable() || !target) return;
  const CanonicalUrl to = CanonicalFromStoredUrl(*target);
  if (to.usable() && to.url != from.url) redirects_.try_emplace(from.url, to.url);
}

const TCacheItem* LinkTargets::FindSpelling(std::string_view url) const {
  // The first of the two spellings in list order wins, as a walk through the
  // list comparing each item with both would find it.
  const std::string exact(url);
  const std::string slashed = exact + "/";
  auto first_of = [&](auto&& position_of) -> std::optional<std::size_t> {
    const auto a = position_of(exact);
    const auto b = position_of(slashed);
    if (a && b) return std::min(*a, *b);
    return a ? a : b;
  };
  const auto in_selection = first_of([&](const std::string& key) -> std::optional<std::size_t> {
    const auto found = first_in_selection_.find(key);
    if (found == first_in_selection_.end()) return std::nullopt;
    return found->second;
  });
  if (in_selection) return selection_[*in_selection];
  if (archive_ == nullptr) return nullptr;
  const auto in_archive = first_of([&](const std::string& key) { return archive_->Find(key); });
  if (in_archive) return archive_->items()[*in_archive].get();
  return nullptr;
}

void LinkTargets::Withdraw(const TCacheItem& item) {
  const auto found = first_in_selection_.find(item.URL);
  if (found == first_in_selection_.end() || selection_[found->second] != &item) return;
  // A later selection item with the same URL takes its place.
  const std::size_t from = found->second;
  first_in_selection_.erase(found);
  for (std::size_t i = from + 1; repeated_urls_ && i < selection_.size(); ++i) {
    if (selection_[i] != nullptr && selection_[i]->URL == item.URL) {
      first_in_selection_.emplace(item.URL, i);
      break;
    }
  }
  selection_[from] = nullptr;
}

std::string ArchiveLinkFor(std::string_view url, const LinkTargets& targets) {
  const TCacheItem* item = targets.Find(url);
  if (item == nullptr) return std::string(kNotFoundPageLink);
  return ArchiveLinkText(item->Domain, TypeFolderOf(*item), item->ArchiveName);
}

}  // namespace webhoard
