// webhoard catalog FOLDER: archive.dat as text, one record per line.
//
// It lists exactly the records an archive run would keep. Records whose copy
// was deleted by hand are counted on stderr (a re-index drops them); at
// damage the records before it are listed, the damage is named with its
// offset on stderr, and the exit status is 2.
#include <string>

#include "archive/archive_layout.h"
#include "archive/catalogue_reader.h"
#include "cli/archive_operand.h"
#include "cli/command.h"
#include "cli/item_json.h"
#include "cli/terminal.h"
#include "common/date_time.h"
#include "common/file_util.h"

namespace webhoard::cli {

int RunCatalog(Arguments& args, Console& console) {
  const bool json = args.Flag("--json");
  const std::string folder = ArchiveFolderOperand(args);
  args.ExpectNoMore();

  const CatalogueListing listing = ReadCatalogue(folder);
  for (const auto& item : listing.items) {
    if (json) {
      std::fputs(CatalogueRecordJson(*item, ArchivePathOf(folder, *item).value_or("")).c_str(),
                 console.out);
      continue;
    }
    std::fprintf(console.out, "%d\t%d\t%s\t%s\t%s\t%s\n", item->MimeIndex, item->Category,
                 FormatDateTime(item->Date).c_str(), OutputField(item->URL).c_str(),
                 OutputField(item->Title).c_str(), OutputField(item->ArchiveName).c_str());
  }
  const ArchiveLoadReport& report = listing.report;
  if (report.records_missing > 0) {
    Complain(console, "warning: " + std::to_string(report.records_missing) +
                          " records name copies that no longer exist (not listed; reindex drops "
                          "them)");
  }
  if (report.damaged) {
    Complain(console, "damaged catalogue: " + report.damage + "; " +
                          std::to_string(listing.items.size()) + " records listed");
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace webhoard::cli
