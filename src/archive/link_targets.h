// Where a link of an archived page leads: the archived copy of its target.
//
// A target is looked up first among the items of the running archive run
// (the selection, whose names are all given before any page is rewritten,
// so a link to a page copied later already leads to its copy), then in the
// archive list (an item the run failed to archive is withdrawn from the
// first, see Withdraw). In each, the first item in list order whose URL equals the
// link's URL, or the URL with a "/" appended, wins; an https URL found in
// neither is looked up again in the http spelling older archives gave it
// (HttpSpellingOf), so links to their copies still lead there; and a URL the
// cache holds a redirect for leads where the redirect points. All are hashed: a page
// with hundreds of links costs a few probes per link, whatever the size of
// the archive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "archive/archive_info_file.h"
#include "cache/cache_item.h"

namespace webhoard {

inline constexpr std::string_view kNotFoundPageLink = "../../notfound.htm";
inline constexpr std::string_view kNotFoundImageLink = "../../images/notfound.gif";

class LinkTargets {
 public:
  // `selection` holds the run's items (borrowed; their Domain, MimeIndex and
  // ArchiveName are read at look-up time); `archive` may be null. Both must
  // outlive this object, and the selection's URLs must not change.
  LinkTargets(const std::vector<TCacheItem*>& selection, const ArchiveList* archive);

  // The archived item a canonical URL leads to, or null.
  const TCacheItem* Find(std::string_view url) const;

  // A redirect from `address` to `location` (resolved against it, as a
  // browser follows a Location): a URL found nowhere else leads where its
  // redirect points, through at most a few redirects in a row.
  void AddRedirect(std::string_view address, std::string_view location);

  // Takes a selection item out of the look-up: the run could not archive
  // it, so links to its URL lead to its earlier copy in the archive list,
  // if it has one, and otherwise to the not-found page.
  void Withdraw(const TCacheItem& item);

 private:
  const TCacheItem* FindSpelling(std::string_view url) const;

  std::vector<const TCacheItem*> selection_;
  std::unordered_map<std::string, std::size_t> first_in_selection_;
  bool repeated_urls_ = false;  // a URL appears more than once in the selection
  const ArchiveList* archive_;
  std::unordered_map<std::string, std::string> redirects_;  // canonical URL -> canonical URL
};

// "../../" + Domain + "/" + type folder + "/" + ArchiveName of the item the
// URL leads to, or "../../notfound.htm".
std::string ArchiveLinkFor(std::string_view url, const LinkTargets& targets);

}  // namespace webhoard
