#include <pwd.h>
#include <unistd.h>

#include "common/file_util.h"
#include "platform/program_data_folder.h"
#include "platform/user_folders.h"

namespace webhoard {
std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string HomeFolder() {
  std::string home = EnvironmentValue("HOME");
  if (home.empty()) {
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
      home = entry->pw_dir;
    }
  }
  if (home.empty()) return ".";
  return WithoutTrailingSlash(home);
}

std::string XdgBaseFolder(const char* variable, std::string_view fallback) {
  if (std::string folder = EnvironmentValue(variable); !folder.empty() && folder.front() == '/') {
    return WithoutTrailingSlash(folder);
  }
  return JoinPath(HomeFolder(), fallback);
}

std::string UserDataFolder() {
  if (auto home = WebhoardHomeFolder()) return *home;
  return JoinPath(XdgBaseFolder("XDG_DATA_HOME", ".local/share"), "webhoard") + "/";
}

std::string DefaultArchiveFolder() {
  if (auto home = WebhoardHomeFolder()) return *home + "ARCHIVE/";
  return JoinPath(HomeFolder(), "Webhoard") + "/";
}

}  // namespace webhoard
