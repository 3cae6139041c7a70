#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/file_registry.h"
#include "platform/registry.h"

namespace webhoard {
namespace {

std::string FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

}  // namespace

std::string RegistryFolder() {
  if (std::string dir = FromEnvironment("WEBHOARD_CONFIG_DIR"); !dir.empty()) {
    return WithoutTrailingSlash(dir);
  }
  // XDG asks that a relative XDG_CONFIG_HOME be ignored.
  if (std::string xdg = FromEnvironment("XDG_CONFIG_HOME"); !xdg.empty() && xdg.front() == '/') {
    return WithoutTrailingSlash(xdg) + "/webhoard";
  }
  std::string home = FromEnvironment("HOME");
  if (home.empty()) {
    // Without HOME, the account's home folder; never the file system root.
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
      home = entry->pw_dir;
    }
  }
  if (home.empty()) home = ".";
  return WithoutTrailingSlash(home) + "/.config/webhoard";
}

std::string SystemRegistryLocation(std::string_view /*path*/) {
  return RegistryFolder();
}

Registry& SystemRegistry() {
  static FileRegistry registry(RegistryFolder());
  return registry;
}

}  // namespace webhoard
