#include "platform/file_registry.h"
#include "platform/registry.h"
#include "platform/user_folders.h"

namespace webhoard {
std::string RegistryFolder() {
  if (std::string dir = EnvironmentValue("WEBHOARD_CONFIG_DIR"); !dir.empty()) {
    return WithoutTrailingSlash(dir);
  }
  return XdgBaseFolder("XDG_CONFIG_HOME", ".config") + "/webhoard";
}

std::string SystemRegistryLocation(std::string_view /*path*/) {
  return RegistryFolder();
}

Registry& SystemRegistry() {
  static FileRegistry registry(RegistryFolder());
  return registry;
}

}  // namespace webhoard
