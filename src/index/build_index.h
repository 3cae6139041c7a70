// The index page set of an archive folder, written again from the catalogue
// at the end of every archive run and re-index:
//
//   1st_page.htm  the frame set: the domain list (frame DOMAINS) on the left,
//                 the legend and then a domain's pages (frame FILES) right
//   indlist.htm   the domain list, sorted without regard to case
//   indpage.htm   the legend
//   notfound.htm  where rewritten pages send links to pages not archived
//   <domain>/*_index.htm  the pages of each domain (domain_pages.h)
//
// Nothing reads the pages back. Old pages of domains no longer in the
// archive are left alone; only 1st_page.htm is removed first, so an archive
// with nothing to list has no entry page.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "archive/archive_info_file.h"
#include "cache/cache_item.h"
#include "index/index_progress.h"

namespace webhoard {

struct IndexBuildReport {
  std::size_t domains = 0;  // domains in the domain list
  std::size_t items = 0;    // items listed on the domain pages
};

// The domain list: one entry per distinct Domain of the items that have a
// URL (and a usable folder name), sorted ascending by a comparison that
// ignores case; domains equal but for case are listed once, under the
// spelling met first.
std::vector<std::string> DomainListOf(const TCacheItemList& items);

// Writes the page set for `archive_folder` from `items`. Reports
// "Indexing..." and the progress of each domain. Throws IndexPageError when
// a page cannot be written; the pages written before stay.
IndexBuildReport BuildIndex(const std::string& archive_folder, const TCacheItemList& items,
                            bool detailed_index, const IndexProgress& progress);

// The same for an archive run's catalogue.
IndexBuildReport BuildIndex(const ArchiveList& list, bool detailed_index,
                            const IndexProgress& progress);

// The pages' fixed names.
inline constexpr char kIndexEntryPage[] = "1st_page.htm";
inline constexpr char kIndexNotFoundPage[] = "notfound.htm";
inline constexpr char kIndexLegendPage[] = "indpage.htm";
inline constexpr char kIndexDomainListPage[] = "indlist.htm";

}  // namespace webhoard
