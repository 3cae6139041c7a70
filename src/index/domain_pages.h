// The six pages of one domain in an archive's index, written into the
// domain's folder:
//
//   text_index.htm   archived pages, each with a link to the live page and
//                    (detailed index) an excerpt and the address
//   image_index.htm  images, with a link to the thumbnail page
//   audio_index.htm, video_index.htm, other_index.htm
//   thumbnail_index.htm  the images themselves, scaled by the browser
//
// A row of type buttons links the type pages. A type page without items
// forwards the browser at once to the next type page (text, image, audio,
// video, other), so "text_index.htm", which the domain list links, always
// lands on a page with content. An empty other or thumbnail page is written
// as an empty file; nothing links to it.
//
// Every value from an archived page or a web address is escaped for the
// place it lands in (html_escape.h), and every link to an archived file is
// built from the catalogue's plain names (archive_layout.h).
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cache/cache_item.h"
#include "index/index_progress.h"

namespace webhoard {

// The five lists of a domain's pages, in the order of their buttons.
enum IndexType : int { kIndexText = 0, kIndexImage, kIndexAudio, kIndexVideo, kIndexOther };
inline constexpr int kIndexTypeCount = 5;

// The index type of a MIME text: its first five characters compared exactly
// with "text/", "image", "audio", "video"; anything else is other.
IndexType IndexTypeOfMime(std::string_view mime_text);
IndexType IndexTypeOf(const TCacheItem& item);

struct DomainItems {
  std::array<std::vector<const TCacheItem*>, kIndexTypeCount> lists;
  std::size_t count() const;
};

// The archive list read once for all domains of one index: the items that
// have a URL and a file in the archive, grouped by their exact Domain and
// sorted by index type, each list in archive-list order.
class DomainScan {
 public:
  explicit DomainScan(const TCacheItemList& items);
  // The items of `domain`. Each item is handed out once: a second Take of
  // the same domain answers nothing.
  DomainItems Take(const std::string& domain);

 private:
  std::unordered_map<std::string, DomainItems> by_domain_;
};

struct DomainPageOptions {
  std::string archive_folder;
  bool detailed_index = true;
};

// Writes the six pages of `domain`, which stands at 0-based position
// `position` of the `count` domains of the domain list, after reporting the
// progress (100 when it is the only domain, else position / (count - 1)).
// Throws IndexPageError when a page cannot be written; the pages written
// before stay.
void WriteDomainPages(const DomainPageOptions& options, const std::string& domain,
                      std::size_t position, std::size_t count, const DomainItems& items,
                      const IndexProgress& progress);

// The progress reported for a domain.
int DomainProgress(std::size_t position, std::size_t count);

}  // namespace webhoard
