#include "settings/in_memory_settings.h"

namespace webhoard {

InMemorySettings& Settings() {
  static InMemorySettings settings;
  return settings;
}

}  // namespace webhoard
