// The link rewriting of pages of today's web (from Chromium and Firefox
// caches), chosen by LinkOptions::modern_pages; the classic reading of
// link_rewriter.h stays for the old caches.
//
// How a page is read:
//  - A tag has any length; attribute values are quoted with '"' or "'"
//    (blanks allowed inside) or unquoted. A tag whose quote or ">" never
//    comes is copied unchanged to the end of the page.
//  - Entities in a value ("&amp;") are decoded before the link is read;
//    a rewritten value is escaped again for its quoting (an unquoted value
//    that needs quotes gets them). A value whose links all stay is copied
//    byte for byte.
//  - The contents of <script>, <style>, <textarea>, <title> and <xmp> are
//    not read as tags; <style> contents and style="..." values are style
//    sheets (css_links.h).
//  - Comments, "<!...>" and "<?...>" are copied unchanged, as in the classic
//    reading: a "<!--" without a later "-->" ends at the next ">".
//  - <base href> changes the base for the rest of the page and is written as
//    "<!>"; a refresh's content keeps its delay.
//  - Anchors to archived pages are emphasised and anchors to missing ones
//    struck out, as in the classic reading.
//  - A srcset candidate not archived is left out while another candidate of
//    the same srcset is archived (or left as written). When none is, a
//    <source>'s srcset is emptied, so the browser shows the next source or
//    the <img>, and an <img>'s candidates lead to the not-found image.
// The links and where a missing target leads: modern_links.h.
#pragma once

#include <string>
#include <string_view>

#include "archive/link_options.h"
#include "archive/link_targets.h"

namespace webhoard {

// The rewritten bytes of the page at `page_url` (its canonical URL).
std::string RewriteModernPageText(std::string_view page, std::string_view page_url,
                                  const LinkTargets& targets, const LinkOptions& options);

// The rewritten bytes of the style sheet at `sheet_url`: its links resolve
// against its own address.
std::string RewriteStyleSheetText(std::string_view sheet, std::string_view sheet_url,
                                  const LinkTargets& targets, const LinkOptions& options);

}  // namespace webhoard
