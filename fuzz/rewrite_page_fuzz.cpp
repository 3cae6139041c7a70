// Fuzz target: the link rewriting and the title reader over any page, from
// any page address, with any archived targets. The input is: one byte of
// link options, then the page's own address up to a line break, then a line
// of target addresses separated by blanks, then the page. Targets are
// archived under their own domains, as the archive run names them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_layout.h"
#include "archive/link_rewriter.h"
#include "archive/page_title.h"
#include "url/canonical_url.h"

namespace {

// The text up to the next line break, taken off the front of `rest`.
std::string_view TakeLine(std::string_view& rest) {
  const std::size_t end = std::min(rest.find('\n'), rest.size());
  const std::string_view line = rest.substr(0, end);
  rest.remove_prefix(std::min(end + 1, rest.size()));
  return line;
}

// An archive link leads to Domain/type folder/name two levels up, each a
// plain name, or to the not-found page.
bool IsArchiveLink(std::string_view link) {
  if (link == webhoard::kNotFoundPageLink || link == webhoard::kNotFoundImageLink) return true;
  if (link.substr(0, 6) != "../../") return false;
  link.remove_prefix(6);
  for (int part = 0; part < 3; ++part) {
    const std::size_t slash = part < 2 ? link.find('/') : link.size();
    if (slash == std::string_view::npos || !webhoard::IsPlainName(link.substr(0, slash))) return false;
    link.remove_prefix(std::min(slash + 1, link.size()));
  }
  return link.empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::uint8_t choice = rest.empty() ? 0 : static_cast<std::uint8_t>(rest[0]);
  if (!rest.empty()) rest.remove_prefix(1);
  std::string page_url(TakeLine(rest));
  if (page_url.empty()) page_url = "http://host:80/dir/index.htm";
  std::string_view target_line = TakeLine(rest);
  const std::string_view page = rest;

  std::vector<std::unique_ptr<TCacheItem>> items;
  std::vector<TCacheItem*> selection;
  while (!target_line.empty() && items.size() < 8) {
    const std::size_t blank = std::min(target_line.find(' '), target_line.size());
    const CanonicalUrl target = CanonicalFromLink(target_line.substr(0, blank));
    target_line.remove_prefix(std::min(blank + 1, target_line.size()));
    if (!target.usable()) continue;
    auto item = std::make_unique<TCacheItem>();
    item->URL = target.url;
    item->Domain = target.domain;
    item->MimeIndex = items.size() % 2 == 0 ? 1 : 2;
    item->ArchiveName = "n" + std::to_string(items.size()) + ".htm";
    selection.push_back(item.get());
    items.push_back(std::move(item));
  }
  const LinkTargets targets(selection, nullptr);
  for (const TCacheItem* item : selection) {
    if (!ArchiveSubPath(*item)) continue;  // no safe place: the run gives it no name
    if (!IsArchiveLink(ArchiveLinkFor(item->URL, targets))) __builtin_trap();
  }

  LinkOptions options;
  options.show_original_urls = (choice & 1) != 0;
  options.emphasize_links = (choice & 2) != 0;
  options.strikeout_links = (choice & 4) != 0;
  if ((choice & 8) != 0) {
    options.emphasizing_tag.clear();
    options.de_emphasizing_tag.clear();
  }
  const std::string out = RewritePageText(page, page_url, targets, options);
  // Text up to the first "<" is copied as it is.
  const std::size_t open = page.find('<');
  const std::size_t kept = open == std::string_view::npos ? page.size() : open + 1;
  if (out.compare(0, kept, page.substr(0, kept)) != 0) __builtin_trap();
  if (PageTitleOf(page).size() > kPageTitleLength) __builtin_trap();
  return 0;
}
