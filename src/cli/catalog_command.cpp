// webhoard catalog FOLDER: archive.dat as text, one record per line.
//
// It lists exactly the records an archive run would keep. Records whose copy
// was deleted by hand are counted on stderr (a re-index drops them); at
// damage the records before it are listed, the damage is named with its
// offset on stderr, and the exit status is 2.
#include <string>

#include "archive/archive_layout.h"
#include "archive/catalogue_reader.h"
#include "cli/command.h"
#include "cli/terminal.h"
#include "common/date_time.h"
#include "common/file_util.h"

namespace webhoard::cli {

int RunCatalog(Arguments& args, Console& console) {
  const auto folder = args.Operand();
  args.ExpectNoMore();
  if (!folder || folder->empty()) throw UsageError("catalog needs the archive folder");
  const std::string path = ArchiveRootFile(*folder, kArchiveInfoFileName);
  if (!FileExists(path)) throw WorkError(path + ": no archive catalogue (archive.dat) here");

  const CatalogueListing listing = ReadCatalogue(*folder);
  for (const auto& item : listing.items) {
    std::fprintf(console.out, "%d\t%d\t%s\t%s\t%s\t%s\n", item->MimeIndex, item->Category,
                 FormatDateTime(item->Date).c_str(), OutputField(item->URL).c_str(),
                 OutputField(item->Title).c_str(), OutputField(item->ArchiveName).c_str());
  }
  const ArchiveLoadReport& report = listing.report;
  if (report.records_missing > 0) {
    std::fprintf(console.err,
                 "webhoard catalog: %zu records name copies that no longer exist (not listed; "
                 "reindex drops them)\n",
                 report.records_missing);
  }
  if (report.damaged) {
    std::fprintf(console.err, "webhoard catalog: damaged catalogue: %s; %zu records listed\n",
                 TerminalText(report.damage).c_str(), listing.items.size());
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace webhoard::cli
