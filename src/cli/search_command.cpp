// webhoard search FOLDER [--url TEXT] [--text TEXT]: one line per hit.
#include "cli/archive_operand.h"
#include "cli/command.h"
#include "cli/item_json.h"
#include "cli/terminal.h"
#include "search/archive_search.h"

namespace webhoard::cli {

int RunSearch(Arguments& args, Console& console) {
  const std::string url_text = args.Value("--url").value_or("");
  const std::string page_text = args.Value("--text").value_or("");
  const bool json = args.Flag("--json");
  if (url_text.empty() && page_text.empty()) throw UsageError("give --url TEXT or --text TEXT");
  const std::string folder = ArchiveFolderOperand(args);
  args.ExpectNoMore();
  const SearchResult result =
      SearchArchive(folder, url_text, page_text, [] { return !Interrupted(); });
  for (const SearchHit& hit : result.hits) {
    if (json) {
      std::fputs(CatalogueRecordJson(hit.record, hit.archive_file).c_str(), console.out);
    } else {
      std::fprintf(console.out, "%s\t%s\n", OutputField(hit.address).c_str(),
                   OutputField(hit.archive_file).c_str());
    }
  }
  if (!result.error.empty()) {
    Complain(console, result.error);
    return kExitFailed;
  }
  if (result.stopped) return kExitInterrupted;
  if (result.hits.empty()) std::fprintf(console.err, "no archived item matches\n");
  return kExitOk;
}

}  // namespace webhoard::cli
