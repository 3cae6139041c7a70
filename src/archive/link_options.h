// How the link rewriting treats the links of an archived page. The archive
// run builds this from the in-memory settings when it starts, so the
// rewriting knows nothing of where settings live; the defaults are the
// settings' own defaults.
#pragma once

#include <string>

namespace webhoard {

struct LinkOptions {
  bool show_original_urls = true;  // links to what is not archived point back at the web
  bool emphasize_links = false;    // wrap links to archived pages in the emphasis tags
  bool strikeout_links = true;     // strike out links to pages not archived
  // The text between "<" and ">" of the opening and the closing tag of an
  // emphasised link; an empty one writes no tag.
  std::string emphasizing_tag = "B";
  std::string de_emphasizing_tag = "/B";
  // Pages of today's web (from Chromium and Firefox caches): tags and links
  // are read as modern_page_rewriter.h tells, and style sheets are rewritten
  // too. The old caches' pages keep the classic reading of link_rewriter.h.
  bool modern_pages = false;
};

}  // namespace webhoard
