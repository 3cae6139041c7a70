#include <cstdlib>

#include "support/environment.h"

namespace webhoard::testing {

// The C runtime's copy of the environment, which getenv reads; an empty
// value removes the variable.
void SetEnvironment(const char* name, const char* value) {
  ::_putenv_s(name, value != nullptr ? value : "");
}

}  // namespace webhoard::testing
