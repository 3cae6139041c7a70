// The command table of `webhoard`: every command, its options and its help
// text. --help, the manual page and the completion script are written from
// here (help_text.cpp, man_page.cpp, bash_completion.cpp).
#include "cli/command.h"

namespace webhoard::cli {
namespace {

const Option kHelpOption = {"--help", "-h", OptionKind::kFlag, "", "show this help and exit"};
const Option kVersionOption = {"--version", "-V", OptionKind::kFlag, "",
                               "show the version and exit"};

const OptionGroup kCacheOptions = {
    "CACHE is one of",
    {
        {"--netscape", "", OptionKind::kValue, "INDEXFILE",
         "Navigator's cache index (FAT, FAT.DB, index.db)", ValueHint::kFile},
        {"--ie", "", OptionKind::kOptionalValue, "CONTAINERFOLDER",
         "Internet Explorer's cache (index.dat's folder)", ValueHint::kFolder},
        {"--chromium", "", OptionKind::kOptionalValue, "DIR",
         "the cache of Chromium, Chrome, Edge, Brave, ...", ValueHint::kFolder},
        {"--firefox", "", OptionKind::kOptionalValue, "DIR", "Firefox's disk cache (cache2)",
         ValueHint::kFolder},
    },
    "DIR may be the browser's user-data or profiles folder, a profile, or the cache\n"
    "folder itself; without DIR the browsers' usual places are searched, and the\n"
    "cache found is named on stderr (several found: they are listed, name one).",
};

const OptionGroup kFilterOptions = {
    "Filters (the Cache Explorer's choice)",
    {
        {"--newer", "", OptionKind::kValue, "SPAN",
         "newer than SPAN: a whole number and h, d or w\n(hours, days, weeks): --newer 3d"},
        {"--older", "", OptionKind::kValue, "SPAN", "older than SPAN (not with --newer)"},
        {"--domain", "", OptionKind::kRepeatable, "NAME",
         "a domain to take (repeatable; default: all)"},
        {"--types", "", OptionKind::kValue, "LIST", "some of text,media,other (default: all)",
         ValueHint::kWords, "text media other text,media text,other media,other"},
    },
};

const OptionGroup kLinkOptions = {
    "Link options (for this run only; the stored settings stay as they are)",
    {
        {"--original-urls", "", OptionKind::kValue, "yes|no", "unarchived links point at the web",
         ValueHint::kWords, "yes no"},
        {"--strikeout", "", OptionKind::kValue, "yes|no", "strike out links to pages not archived",
         ValueHint::kWords, "yes no"},
        {"--emphasize", "", OptionKind::kValue, "none|bold|italic|larger|custom",
         "emphasise archived links", ValueHint::kWords, "none bold italic larger custom"},
        {"--detailed", "", OptionKind::kValue, "yes|no", "detailed index pages with excerpts",
         ValueHint::kWords, "yes no"},
    },
};

const OptionGroup kArchiveOptions = {
    "Options",
    {
        {"--to", "", OptionKind::kValue, "FOLDER",
         "the archive folder (default: from the settings)", ValueHint::kFolder},
        {"--yes", "", OptionKind::kFlag, "",
         "answer yes to the questions (create the folder?),\nbut do not open the index"},
    },
};

const OptionGroup kDeleteOptions = {
    "Options",
    {{"--yes", "", OptionKind::kFlag, "", "delete without asking"}},
};

const OptionGroup kReindexOptions = {
    "Options",
    {{"--yes", "", OptionKind::kFlag, "", "do not ask whether to open the index"}},
};

const OptionGroup kSearchOptions = {
    "Options (one of them at least)",
    {
        {"--url", "", OptionKind::kValue, "TEXT", "addresses that contain TEXT (any case)"},
        {"--text", "", OptionKind::kValue, "TEXT", "archived pages whose text contains TEXT"},
    },
};

const OptionGroup kJsonOptions = {
    "Output",
    {{"--json", "", OptionKind::kFlag, "", "a JSON object per line, not tab-separated fields"}},
};

const OptionGroup kProgressOptions = {
    "Progress",
    {
        {"--progress", "", OptionKind::kFlag, "",
         "a progress line also when stderr is no terminal"},
        {"--quiet", "", OptionKind::kFlag, "", "no progress line, not even on a terminal"},
    },
};

const OptionGroup kCommonOptions = {"", {kHelpOption}};
const OptionGroup kProgramOptions = {"Options", {kHelpOption, kVersionOption}};

constexpr ExitStatus kExitStatuses[] = {
    {kExitOk, "done"},
    {kExitUsage, "bad usage: the command line cannot be understood"},
    {kExitFailed, "input unreadable or work failed"},
    {kExitPartlyFailed, "done, but some items could not be archived"},
    {kExitDeclined, "a question was answered no (or nobody answered it): nothing was done"},
    {kExitInterrupted, "interrupted (Ctrl-C)"},
};

std::vector<Command> MakeCommands() {
  return {
      {"list",
       "list the chosen cache items",
       "list CACHE [FILTERS] [--json] [--progress|--quiet]",
       "One line per chosen cache item, tab-separated: MimeIndex, Category, Date\n"
       "(local time), URL, Domain, LocalFile. A summary of the Text, Media and Other\n"
       "counts goes to stderr.\n\n"
       "With --json each item is an object with url, site, mime_index, mime_type\n"
       "(its name, \"\" when unknown), category (0 text, 1 media, 2 other),\n"
       "category_name, date (ISO 8601 with the local offset), file (the cached file)\n"
       "and size (bytes; null when unknown).",
       {&kCacheOptions, &kFilterOptions, &kJsonOptions, &kProgressOptions},
       ValueHint::kNone,
       RunList},
      {"archive",
       "archive the chosen cache items into an archive folder",
       "archive CACHE [--to FOLDER] [FILTERS] [LINK OPTIONS] [--yes] [--progress|--quiet]",
       "Copies the chosen items into FOLDER (default: the archive folder of the\n"
       "settings), rewrites the links of archived pages, updates archive.dat and the\n"
       "index pages, prints a summary (items, sites, size of the archive) on stderr\n"
       "and the path of 1st_page.htm on stdout. Questions (create the folder? open\n"
       "the index?) are asked on the terminal; --yes answers yes to them and does not\n"
       "open the index. Declining to create the folder archives nothing (status 4).\n\n"
       "Items that cannot be archived are named with the reason; the others are\n"
       "archived and the status is 3. Ctrl-C stops between items: what was archived\n"
       "is kept and indexed, and the same command again finishes the rest (status\n"
       "130). Another run or re-index on FOLDER is waited for. When the catalogue\n"
       "cannot be saved (a full disk) the copies this run added are removed and the\n"
       "status is 2.",
       {&kCacheOptions, &kArchiveOptions, &kFilterOptions, &kLinkOptions, &kProgressOptions},
       ValueHint::kNone,
       RunArchiveCommand},
      {"delete",
       "delete the chosen items from the browser cache",
       "delete (--netscape INDEXFILE | --ie [CONTAINERFOLDER]) [FILTERS] [--yes]",
       "Asks for confirmation, naming how many items of how many sites go (--yes\n"
       "confirms), deletes the chosen items' cached files, and prints how many items\n"
       "were removed. Declined, it deletes nothing, prints 0 and exits with status 4.\n"
       "The caches of Chromium and Firefox are only read, never changed: delete\n"
       "refuses them.",
       {&kCacheOptions, &kDeleteOptions, &kFilterOptions, &kProgressOptions},
       ValueHint::kNone,
       RunDelete},
      {"search",
       "search an archive folder by address and page text",
       "search FOLDER [--url TEXT] [--text TEXT] [--json]",
       "One line per hit: the address, a tab, the archived file. With --json each\n"
       "hit is an object with the fields of catalog --json.",
       {&kSearchOptions, &kJsonOptions},
       ValueHint::kFolder,
       RunSearch},
      {"reindex",
       "drop records of deleted files and rebuild the index pages",
       "reindex FOLDER [--yes] [--progress|--quiet]",
       "Re-reads archive.dat, drops the records whose archived copies are gone, and\n"
       "writes the index pages again. Another run or re-index on FOLDER is waited for.",
       {&kReindexOptions, &kProgressOptions},
       ValueHint::kFolder,
       RunReindex},
      {"catalog",
       "print an archive's catalogue (archive.dat)",
       "catalog FOLDER [--json]",
       "One record per line, tab-separated: MimeIndex, Category, Date, URL, Title,\n"
       "ArchiveName.\n\n"
       "With --json each record is an object with url, site, mime_index, mime_type,\n"
       "category, category_name, date (ISO 8601 with the local offset), title,\n"
       "archive_name (as the catalogue stores it), file (the archived copy's path)\n"
       "and size (bytes; null when the copy cannot be read).",
       {&kJsonOptions},
       ValueHint::kFolder,
       RunCatalog},
      {"settings",
       "show the settings, or set one",
       "settings [SECTION NAME VALUE]",
       "Without arguments prints every setting, tab-separated: section, name, the\n"
       "value in effect, and \"default\" when none is stored. With three, stores VALUE\n"
       "after checking it: a flag takes 0 or 1, a number a whole number, a choice one\n"
       "of its words. The store is the one the windows use: on Windows the registry\n"
       "(HKEY_CURRENT_USER\\Software\\Tarnwell\\Webhoard); elsewhere $WEBHOARD_CONFIG_DIR,\n"
       "else $XDG_CONFIG_HOME/webhoard, else ~/.config/webhoard.",
       {},
       ValueHint::kNone,
       RunSettings},
  };
}

}  // namespace

std::span<const ExitStatus> ExitStatuses() {
  return kExitStatuses;
}

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = MakeCommands();
  return commands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& c : Commands()) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

std::vector<const Option*> OptionsOf(const Command& command) {
  std::vector<const Option*> options;
  for (const OptionGroup* group : command.groups) {
    for (const Option& option : group->options) options.push_back(&option);
  }
  options.push_back(&kCommonOptions.options.front());
  return options;
}

const OptionGroup& ProgramOptions() {
  return kProgramOptions;
}

std::string_view ProgramNotes() {
  return "Errors and warnings go to stderr, one line each: \"webhoard: COMMAND: reason\",\n"
         "the reason naming the file concerned and giving the system's words for the\n"
         "system's errors. Results go to stdout: tab-separated fields, or with --json\n"
         "one JSON object per line. Text from caches and archives is written as it is\n"
         "stored; in JSON a byte that is not part of valid UTF-8 is written as \\u00XX\n"
         "of that byte, so every line is valid JSON.";
}

}  // namespace webhoard::cli
