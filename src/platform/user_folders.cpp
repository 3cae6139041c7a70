#include "platform/user_folders.h"

#include <cstdlib>

namespace webhoard {

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

}  // namespace webhoard
