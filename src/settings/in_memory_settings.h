// The settings that the archive run, the link rewriting and the index pages
// read while they work, held in memory as process-wide values. The Properties
// dialog loads them from the settings store (and is the only one to change
// them); see settings_store.h for the persistent side.
#pragma once

#include <string>

namespace webhoard {

struct InMemorySettings {
  std::string cache_index_path;        // Navigator cache index file (whole, never cut)
  std::string current_archive_folder;  // where archive runs write (whole, never cut)
  bool detailed_index = true;          // detailed index pages for HTML and text files
  std::string emphasizing_tag = "B";   // text between "<" and ">" of the opening tag, at most 255
                                       // characters
  std::string de_emphasizing_tag = "/B";
  bool show_original_urls = true;  // unvisited links point back at the live web
  bool emphasize_links = false;    // wrap archived links in the emphasis tags
  bool strikeout_links = true;     // strike out links to pages not archived
};

// The process-wide in-memory settings.
InMemorySettings& Settings();

}  // namespace webhoard
