#include <cstdlib>

#include "support/environment.h"

namespace webhoard::testing {

void SetEnvironment(const char* name, const char* value) {
  if (value != nullptr) {
    ::setenv(name, value, 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace webhoard::testing
