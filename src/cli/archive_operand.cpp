#include "cli/archive_operand.h"

#include "archive/archive_layout.h"
#include "common/file_util.h"
#include "search/archive_search.h"

namespace webhoard::cli {

std::string ArchiveFolderOperand(Arguments& args) {
  const std::string named = args.Operand().value_or("");
  if (named.empty()) throw UsageError("name the archive folder");
  const std::string folder = SearchFolderOf(named);
  if (!DirectoryExists(folder)) throw WorkError(named + ": no such folder");
  const std::string catalogue = ArchiveRootFile(folder, kArchiveInfoFileName);
  if (!FileExists(catalogue)) throw WorkError(catalogue + ": no archive catalogue here");
  return folder;
}

}  // namespace webhoard::cli
