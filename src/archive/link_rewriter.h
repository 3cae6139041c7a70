// The link rewriting of archived pages.
//
// An archived page is copied byte for byte, except inside the tags that can
// carry a link: there each link value is replaced by the relative path of
// its target's archived copy ("../../Domain/type folder/ArchiveName", which
// works because every copy lies two folder levels below the archive folder).
// A link to something not archived leads to the archive's not-found page
// (or, for a missing image, the not-found image), or, with "show original
// URLs", back to the web. Links to archived pages may be emphasised and
// links to missing ones struck out.
//
// How a tag is read:
//  - A tag is the text after "<" up to and including the next ">", at most
//    255 bytes; the rest of a longer tag is copied unchanged. A rewritten tag
//    may grow past 255 bytes and keeps its end.
//  - A word is a run of the bytes "!", "#".."; " and "?".."~" (anything else
//    separates words), compared upper-cased; the tag's last byte is never
//    part of a word. The first word names the tag.
//  - The value of an attribute starts at the next word byte or double quote
//    (a quote itself is skipped) and ends before the first space, double
//    quote, "<" or ">"; control bytes inside it are dropped. So a quoted
//    value ends at its first space.
//  - Tags inside "<!-- ... -->" are copied unchanged. A "<!--" without any
//    later "-->" ends at the next ">", and from then on comments are no
//    longer looked for in this page.
//  - A BASE tag with HREF changes the base for the rest of the page and is
//    written as the empty tag "<!>".
//  - A META tag's CONTENT is rewritten only for a refresh: the URL after
//    "URL" inside it becomes the archive link.
// Malformed HTML is never an error: every "<" starts a tag.
#pragma once

#include <string>
#include <string_view>

#include "archive/link_options.h"
#include "archive/link_targets.h"
#include "cache/cache_item.h"

namespace webhoard {

// What the rewriting of an "A" tag's HREF found.
struct TagFlags {
  bool target_archived = false;
  bool target_missing = false;
};

// The new text of one tag (without its "<"); a BASE HREF changes `base`.
std::string RewriteTag(std::string tag, std::string& base, const LinkTargets& targets,
                       const LinkOptions& options, TagFlags& flags);

// The rewritten bytes of the page at `page_url` held in `page`.
std::string RewritePageText(std::string_view page, std::string_view page_url,
                            const LinkTargets& targets, const LinkOptions& options);

// Writes the archived copy of a page item below `archive_folder` and sets
// the item's Title. A missing cached file gives no copy and no title (true:
// nothing to do). The copy is written beside its place and renamed over it
// when complete, so a failure never leaves a half page where an earlier copy
// was. False, with `error` set, when the copy could not be written or the
// item's archive path is not a plain Domain/type folder/name. An item with
// a stored body is read from its byte range and decoded; a body that cannot
// be decoded is written as stored, without rewriting (its links cannot be
// read), and `stored_undecoded` (when given) is set.
// With `options.modern_pages` the page is read as modern_page_rewriter.h tells.
bool RewritePage(TCacheItem& item, const std::string& archive_folder, const LinkTargets& targets,
                 const LinkOptions& options, std::string* error = nullptr,
                 bool* stored_undecoded = nullptr);

// Whether the archive run rewrites an item's links rather than copying it:
// pages always, style sheets (text/css) with `options.modern_pages`.
bool IsRewrittenItem(const TCacheItem& item, const LinkOptions& options);

// Writes the archived copy of a style sheet item the way RewritePage writes
// a page (same failures and same undecoded body rule), its url() and
// @import links rewritten against the sheet's own URL. Sets no title.
bool RewriteStyleSheet(TCacheItem& item, const std::string& archive_folder,
                       const LinkTargets& targets, const LinkOptions& options,
                       std::string* error = nullptr, bool* stored_undecoded = nullptr);

}  // namespace webhoard
