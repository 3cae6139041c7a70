// The FOLDER operand of search, reindex and catalog: an archive folder.
#pragma once

#include <string>

#include "cli/arguments.h"

namespace webhoard::cli {

// The folder named, as the search and re-index windows read it; UsageError
// when none is named, WorkError when it is no folder or holds no catalogue.
std::string ArchiveFolderOperand(Arguments& args);

}  // namespace webhoard::cli
