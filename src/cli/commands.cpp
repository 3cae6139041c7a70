// The command table of `webhoard` and its help texts.
#include <cstring>

#include "cli/command.h"

namespace webhoard::cli {
namespace {

constexpr const char kFilterHelp[] =
    "Filters (the Cache Explorer's choice):\n"
    "  --newer SPAN | --older SPAN   age window; SPAN is a whole number and h, d or w\n"
    "                                (hours, days, weeks): --newer 3d\n"
    "  --domain NAME                 a domain to take (repeatable; default: all)\n"
    "  --types LIST                  comma-separated of text, media, other (default: all)\n";

// The cache options of list and archive.
#define CACHE_HELP                                                                              \
  "CACHE is one of:\n"                                                                           \
  "  --netscape INDEXFILE          Netscape Navigator's cache index (FAT, FAT.DB, index.db)\n"   \
  "  --ie [CONTAINERFOLDER]        Internet Explorer's URL cache (index.dat's folder)\n"        \
  "  --chromium [DIR]              the disk cache of Chromium, Chrome, Edge, Brave, ...\n"      \
  "  --firefox [DIR]               Firefox's disk cache (cache2)\n"                             \
  "DIR may be the browser's user-data or profiles folder, a profile, or the cache\n"            \
  "folder itself; without DIR the browsers' usual places are searched, and the\n"              \
  "cache found is named on stderr (several found: they are listed, name one).\n\n"

constexpr Command kCommands[] = {
    {"list", "list the chosen cache items",
     "usage: webhoard list CACHE [FILTERS]\n\n"
     "One line per chosen cache item, tab-separated: MimeIndex, Category, Date\n"
     "(local time), URL, Domain, LocalFile. A summary of the Text, Media and Other\n"
     "counts goes to stderr.\n\n"
     CACHE_HELP,
     RunList},
    {"archive", "archive the chosen cache items into an archive folder",
     "usage: webhoard archive CACHE [--to FOLDER] [FILTERS] [LINK OPTIONS] [--yes]\n\n"
     "Copies the chosen items into FOLDER (default: the archive folder of the\n"
     "settings), rewrites the links of archived pages, updates archive.dat and the\n"
     "index pages, and prints the path of 1st_page.htm. Questions (create the\n"
     "folder? open the index?) are asked on the terminal; --yes answers Yes to\n"
     "them and does not open the index.\n\n"
     "Items that cannot be archived are named with the reason; the others are\n"
     "archived and the status is 3. Ctrl-C stops between items: what was archived\n"
     "is kept and indexed, and the same command again finishes the rest (status\n"
     "130). Another run or re-index on FOLDER is waited for. When the catalogue\n"
     "cannot be saved (a full disk) the copies this run added are removed and the\n"
     "status is 2.\n\n"
     "Link options (for this run only; the stored settings stay as they are):\n"
     "  --original-urls yes|no    unarchived links point at the web\n"
     "  --strikeout yes|no        strike out links to pages not archived\n"
     "  --emphasize none|bold|italic|larger|custom   emphasise archived links\n"
     "  --detailed yes|no         detailed index pages with excerpts\n\n"
     CACHE_HELP,
     RunArchiveCommand},
    {"delete", "delete the chosen items from the browser cache",
     "usage: webhoard delete (--netscape INDEXFILE | --ie [CONTAINERFOLDER]) [FILTERS] [--yes]\n\n"
     "Asks for confirmation (--yes confirms), deletes the chosen items' cached\n"
     "files, and prints how many items were removed. The caches of Chromium and\n"
     "Firefox are only read, never changed: delete refuses them.\n\n",
     RunDelete},
    {"search", "search an archive folder by address and page text",
     "usage: webhoard search FOLDER [--url TEXT] [--text TEXT]\n\n"
     "One line per hit: the address, a tab, the archived file.\n",
     RunSearch},
    {"reindex", "drop records of deleted files and rebuild the index pages",
     "usage: webhoard reindex FOLDER [--yes]\n\n"
     "Re-reads archive.dat, drops the records whose archived copies are gone, and\n"
     "writes the index pages again. Another run or re-index on FOLDER is waited for.\n",
     RunReindex},
    {"catalog", "print an archive's catalogue (archive.dat)",
     "usage: webhoard catalog FOLDER\n\n"
     "One record per line, tab-separated: MimeIndex, Category, Date, URL, Title,\n"
     "ArchiveName.\n",
     RunCatalog},
    {"settings", "show the stored settings, or set one",
     "usage: webhoard settings [SECTION NAME VALUE]\n\n"
     "Without arguments prints every setting (section, name, value). With three,\n"
     "stores VALUE. The store is the one the windows use: on Windows the registry\n"
     "(HKEY_CURRENT_USER\\Software\\Tarnwell\\Webhoard); elsewhere $WEBHOARD_CONFIG_DIR,\n"
     "else $XDG_CONFIG_HOME/webhoard, else ~/.config/webhoard.\n",
     RunSettings},
};

bool TakesFilters(const Command& c) {
  return std::strcmp(c.name, "list") == 0 || std::strcmp(c.name, "archive") == 0 ||
         std::strcmp(c.name, "delete") == 0;
}

}  // namespace

const Command* FindCommand(const std::string& name) {
  for (const Command& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

void PrintCommandHelp(const Command& c, std::FILE* out) {
  std::fputs(c.help, out);
  if (TakesFilters(c)) std::fputs(kFilterHelp, out);
}

void PrintOverview(std::FILE* out) {
  std::fputs(
      "usage: webhoard COMMAND [OPTIONS]\n\n"
      "Turns a web browser's disk cache (Netscape Navigator FAT/FAT.DB, or the\n"
      "Internet Explorer index.dat URL cache) into a browsable offline archive.\n\n"
      "Commands:\n",
      out);
  for (const Command& c : kCommands) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fputs(
      "\n`webhoard COMMAND --help` describes a command; `webhoard --version` the version.\n"
      "Exit status: 0 done, 1 bad usage, 2 input unreadable or work failed,\n"
      "3 done but some items could not be archived, 130 interrupted.\n",
      out);
}

}  // namespace webhoard::cli
