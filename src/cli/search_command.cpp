// webhoard search FOLDER [--url TEXT] [--text TEXT]: one line per hit.
#include "cli/command.h"
#include "cli/terminal.h"
#include "search/archive_search.h"

namespace webhoard::cli {

int RunSearch(Arguments& args, Console& console) {
  const std::string url_text = args.Value("--url").value_or("");
  const std::string page_text = args.Value("--text").value_or("");
  const std::string folder = args.Operand().value_or("");
  args.ExpectNoMore();
  if (const auto refusal = CheckSearchRequest(url_text, page_text, folder)) {
    std::fprintf(console.err, "%s\n", TerminalText(*refusal).c_str());
    const bool usage = *refusal == kEnterSearchText || *refusal == kEnterArchiveFolder;
    return usage ? kExitUsage : kExitFailed;
  }
  const SearchResult result =
      SearchArchive(folder, url_text, page_text, [] { return !Interrupted(); });
  for (const SearchHit& hit : result.hits) {
    std::fprintf(console.out, "%s\t%s\n", OutputField(hit.address).c_str(),
                 OutputField(hit.archive_file).c_str());
  }
  if (!result.error.empty()) {
    std::fprintf(console.err, "webhoard search: %s\n", TerminalText(result.error).c_str());
    return kExitFailed;
  }
  if (result.stopped) return kExitInterrupted;
  if (result.hits.empty()) std::fprintf(console.err, "%s\n", std::string(kNoFilesFound).c_str());
  return kExitOk;
}

}  // namespace webhoard::cli
