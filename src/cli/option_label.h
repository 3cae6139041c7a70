// How an option is written in help texts: "-h, --help", "--to FOLDER",
// "--ie [CONTAINERFOLDER]".
#pragma once

#include <string>

#include "cli/option_table.h"

namespace webhoard::cli {

std::string OptionLabel(const Option& option);

}  // namespace webhoard::cli
