#include "index/domain_pages.h"

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/ascii.h"
#include "common/file_util.h"
#include "common/html_escape.h"
#include "index/image_size.h"
#include "index/page_file.h"
#include "index/page_text.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

struct TypeNames {
  std::string_view word;      // in ALT texts, status texts and page names
  std::string_view stem;      // of the button icons, after "d", "g" or "u"
  std::string_view page;      // the page file
  std::string_view fallback;  // the name of an item without one
};

constexpr std::array<TypeNames, kIndexTypeCount> kTypes = {{
    {"text", "text", "text_index.htm", "No Title"},
    {"image", "Image", "image_index.htm", "Image file"},
    {"audio", "Audio", "audio_index.htm", "Audio file"},
    {"video", "Video", "video_index.htm", "Video file"},
    {"other", "Other", "other_index.htm", "Other file"},
}};

constexpr std::string_view kThumbnailPage = "thumbnail_index.htm";
constexpr std::size_t kShortNameLength = 50;
constexpr std::size_t kShownAddressLength = 60;

// What the rows of one item show, worked out once.
struct ItemView {
  std::string live_link;   // escaped for an unquoted attribute
  std::string status_url;  // escaped for the status script
  std::string local_link;  // type folder/ArchiveName, encoded
  std::string link_url;    // the link URL itself
  std::string short_name;  // raw
};

ItemView ViewOf(const TCacheItem& item) {
  ItemView view;
  view.link_url = ItemLinkForm(item.URL);
  // Catalogue URLs this program writes are all "http://" or "https://"
  // addresses; any other scheme ("javascript:") can only come from a forged
  // catalogue, and must not become a link that runs in the index.
  if (StartsWithNoCase(view.link_url, "http://") || StartsWithNoCase(view.link_url, "https://")) {
    view.live_link = EscapeUnquotedAttribute(view.link_url);
  } else {
    view.live_link = "../notfound.htm";
  }
  view.status_url = EscapeScriptInAttribute(view.link_url);
  view.local_link =
      EncodeLinkComponent(TypeFolderOf(item)) + "/" + EncodeLinkComponent(item.ArchiveName);
  if (!view.link_url.empty() && view.link_url.back() != '/') {
    view.short_name = LastSegment(view.link_url).substr(0, kShortNameLength);
  }
  return view;
}

std::string ItemPath(const std::string& archive_folder, const TCacheItem& item) {
  return ArchivePathOf(archive_folder, item).value_or(std::string());
}

std::string TypeButtons(const DomainItems& items, int current) {
  std::string out;
  for (int type = 0; type < kIndexTypeCount; ++type) {
    const TypeNames& names = kTypes[static_cast<std::size_t>(type)];
    const std::size_t n = items.lists[static_cast<std::size_t>(type)].size();
    const std::string alt = std::to_string(n) + " " + std::string(names.word) + " files";
    if (type == current) {
      out.append("<IMG ALIGN=ABSMIDDLE ALT=\"").append(alt).append("\" SRC=../images/d");
      out.append(names.stem).append(".gif>");
    } else if (n == 0) {
      out.append("<IMG ALIGN=ABSMIDDLE SRC=../images/g").append(names.stem).append(".gif>");
    } else {
      out.append("<A HREF=").append(names.page);
      out.append(" onMouseOver=\"window.status='List ").append(names.word);
      out.append(" files';return true\" TARGET=FILES><IMG BORDER=0 ALIGN=ABSMIDDLE ALT=\"");
      out.append(alt).append("\" SRC=../images/u").append(names.stem).append(".gif></A>");
    }
  }
  return out;
}

void PageHead(PageFile& page, const std::string& domain, const DomainItems& items, int current) {
  page.Line("<HTML><HEAD><BASE TARGET=\"_top\"></HEAD>");
  page.Line("<BODY BGCOLOR=#FFFFFF LINK=#000099 VLINK=#330066>");
  page.Line("<TABLE BORDER=1 BGCOLOR=#CCCCCC CELLPADDING=4 CELLSPACING=0 WIDTH=100% HEIGHT=34>");
  page.Line("<TR><TD><NOBR>&nbsp;");
  page.Line(TypeButtons(items, current) + "<FONT SIZE=2 FACE=ARIAL>&nbsp;&nbsp;Exploring " +
            EscapeText(domain) + "</FONT>");
  page.Line("</TD></TR></TABLE>");
  page.Line("<B><FONT SIZE=2 FACE=ARIAL>");
}

void ForwardingPage(PageFile& page, int type) {
  page.Line("<HTML>");
  page.Line("<HEAD>");
  page.Line("<META HTTP-EQUIV=REFRESH CONTENT=\"0; URL=" +
            std::string(kTypes[static_cast<std::size_t>(type) + 1].page) + "\">");
  page.Line("</HEAD>");
  page.Line("</HTML>");
}

std::string ShownAddress(const std::string& link_url) {
  std::string shown = link_url.substr(0, kShortTextLength);
  if (shown.size() > kShownAddressLength) {
    shown = "..." + shown.substr(shown.size() - kShownAddressLength);
  }
  return shown;
}

void TextRows(PageFile& page, const DomainPageOptions& options,
              const std::vector<const TCacheItem*>& list) {
  page.Add("<TABLE BORDER=0 CELLPADDING=0 CELLSPACING=0>");
  for (const TCacheItem* item : list) {
    const std::size_t row_start = page.mark();
    try {
      const ItemView view = ViewOf(*item);
      std::string name = item->Title;
      if (name.empty()) name = view.short_name;
      if (name.empty()) name = kTypes[kIndexText].fallback;
      page.Line("<TR><TD VALIGN=TOP><A HREF=" + view.live_link +
                "><IMG BORDER=0 WIDTH=20 HEIGHT=18 ALIGN=TOP SRC=../images/text.gif></A></TD>"
                "<TD><FONT SIZE=2 FACE=ARIAL><A HREF=" +
                view.local_link + "><B>" + EscapeText(name) + "</B></A><BR>");
      if (options.detailed_index) {
        // A page whose file cannot be read has no excerpt, but its row is
        // still whole: an unclosed cell would swallow the rows after it.
        const std::string excerpt =
            ExtractPageText(ItemPath(options.archive_folder, *item)).value_or(std::string());
        if (!excerpt.empty()) page.Line(EscapeText(excerpt) + "...<BR>");
        page.Line("<FONT SIZE=1><A HREF=" + view.live_link + ">" +
                  EscapeText(ShownAddress(view.link_url)) + "</A><BR>&nbsp;</FONT>");
      }
      page.Line("</FONT></TD></TR>");
    } catch (const std::exception&) {
      // A row that cannot be made is left out; the page goes on.
      page.Rewind(row_start);
    }
  }
  page.Line("</TABLE>");
  page.Line("</BODY></HTML>");
}

void FileRows(PageFile& page, int type, const std::vector<const TCacheItem*>& list) {
  const TypeNames& names = kTypes[static_cast<std::size_t>(type)];
  if (type == kIndexImage) {
    const std::size_t n = list.size();
    page.Line(
        "<NOBR><A HREF=thumbnail_index.htm TARGET=FILES>"
        "<IMG BORDER=0 ALIGN=TOP SRC=../images/image.gif>Thumbnail Index (" +
        std::to_string(n) + " image" + (n > 1 ? "s" : "") + ")</A></NOBR><BR>");
  }
  for (const TCacheItem* item : list) {
    const ItemView view = ViewOf(*item);
    const std::string name =
        view.short_name.empty() ? std::string(names.fallback) : EscapeText(view.short_name);
    page.Line("<NOBR><A HREF=" + view.live_link + "><IMG BORDER=0 ALIGN=TOP SRC=../images/" +
              std::string(names.word) + ".gif></A><A HREF=" + view.local_link + ">" + name +
              "</A></NOBR><BR>");
  }
  page.Line("<BR><BR>");
  page.Line("</BODY></HTML>");
}

void ThumbnailRows(PageFile& page, const DomainPageOptions& options,
                   const std::vector<const TCacheItem*>& list) {
  for (const TCacheItem* item : list) {
    std::int32_t thumb_width = 0, thumb_height = 0, full_width = 0, full_height = 0;
    if (!GetThumbnailSize(ItemPath(options.archive_folder, *item), thumb_width, thumb_height,
                          full_width, full_height)) {
      continue;  // a picture of unknown size gets no thumbnail
    }
    const ItemView view = ViewOf(*item);
    const std::string name = view.short_name.empty() ? std::string(kTypes[kIndexOther].fallback)
                                                     : EscapeQuotedAttribute(view.short_name);
    page.Line("<A HREF=" + view.local_link + " onMouseOver=\"window.status='" + view.status_url +
              "';return true\"><IMG WIDTH=" + std::to_string(thumb_width) +
              " HEIGHT=" + std::to_string(thumb_height) +
              " HSPACE=5 VSPACE=5 BORDER=1 ALIGN=MIDDLE SRC=" + view.local_link + " ALT=\"" + name +
              " (" + std::to_string(full_width) + "x" + std::to_string(full_height) + ")\"></A>");
  }
  page.Line("</BODY></HTML>");
}

}  // namespace

IndexType IndexTypeOfMime(std::string_view mime_text) {
  const std::string_view head = mime_text.substr(0, 5);
  if (head == "text/") return kIndexText;
  if (head == "image") return kIndexImage;
  if (head == "audio") return kIndexAudio;
  if (head == "video") return kIndexVideo;
  return kIndexOther;
}

IndexType IndexTypeOf(const TCacheItem& item) {
  // The whole position, as TypeFolderOf takes it for the item's folder.
  return IndexTypeOfMime(MimeTypeName(item.MimeIndex));
}

std::size_t DomainItems::count() const {
  std::size_t total = 0;
  for (const auto& list : lists) total += list.size();
  return total;
}

DomainScan::DomainScan(const TCacheItemList& items) {
  for (const auto& item : items) {
    // An item without an address is in no domain; one whose names could not
    // make a path in the archive has no file to list.
    if (!item || item->URL.empty() || !ArchiveSubPath(*item)) continue;
    by_domain_[item->Domain].lists[static_cast<std::size_t>(IndexTypeOf(*item))].push_back(
        item.get());
  }
}

DomainItems DomainScan::Take(const std::string& domain) {
  const auto found = by_domain_.find(domain);
  if (found == by_domain_.end()) return {};
  DomainItems taken = std::move(found->second);
  by_domain_.erase(found);
  return taken;
}

int DomainProgress(std::size_t position, std::size_t count) {
  if (count <= 1) return 100;
  return static_cast<int>(std::min<std::size_t>(position, count - 1) * 100 / (count - 1));
}

void WriteDomainPages(const DomainPageOptions& options, const std::string& domain,
                      std::size_t position, std::size_t count, const DomainItems& items,
                      const IndexProgress& progress) {
  progress.Progress(DomainProgress(position, count));
  if (!IsPlainName(domain)) throw IndexPageError("no folder for the domain " + domain);
  const std::string folder = JoinPath(options.archive_folder, domain);
  // A domain whose every copy failed has no folder yet; its pages still
  // belong in the index, and the domains after it must not lose theirs.
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);

  for (int type = 0; type < kIndexTypeCount; ++type) {
    const auto& list = items.lists[static_cast<std::size_t>(type)];
    PageFile page(JoinPath(folder, kTypes[static_cast<std::size_t>(type)].page));
    if (list.empty()) {
      if (type != kIndexOther) ForwardingPage(page, type);
    } else {
      PageHead(page, domain, items, type);
      if (type == kIndexText) {
        TextRows(page, options, list);
      } else {
        FileRows(page, type, list);
      }
    }
    page.Commit();
  }

  PageFile thumbnails(JoinPath(folder, kThumbnailPage));
  const auto& images = items.lists[kIndexImage];
  if (!images.empty()) {
    PageHead(thumbnails, domain, items, -1);
    ThumbnailRows(thumbnails, options, images);
  }
  thumbnails.Commit();
}

}  // namespace webhoard
