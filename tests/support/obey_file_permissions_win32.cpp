#include "support/archive_checks.h"

namespace webhoard::testing {

// Windows applies a file's access rules to administrators too (only the
// backup privilege, which a test never enables, passes them by).
bool ObeyFilePermissions() {
  return true;
}

}  // namespace webhoard::testing
