// Whether a folder's file system finds a name in another case (Windows):
// there the case-blind look-ups have nothing left to do.
#pragma once

#include "support/temp_dir.h"

namespace webhoard::testing {

bool IgnoresCase(const TempDir& folder);

}  // namespace webhoard::testing
