// Finding Netscape Navigator's cache index file ("Fat.db" or "Fat") without
// the user's help. Navigator records its cache folder in two places: the
// old "Cache Dir" value in the current user's registry, and the Navigator 4
// user profile (the profile folder named in the local machine's registry,
// then the "browser.cache.directory" preference in its prefs.js, else the
// profile's "Cache" folder). The places are asked, each answer is checked
// for an index file, and the more recently written index wins.
//
// Paths from the registry and prefs.js are Windows paths and stay so in
// every answer; LocalFileSystemPath (platform/local_path.h) turns one into a
// path of this system only at the moment it is handed to the file system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/local_path.h"
#include "platform/registry.h"

namespace webhoard {

// Reads the Navigator 4 user profile.
class TNavigator4 {
 public:
  // Larger prefs.js files are taken as damaged and not read.
  static constexpr std::size_t kMaxPreferencesBytes = 16u << 20;

  explicit TNavigator4(Registry& registry) : registry_(registry) {}
  virtual ~TNavigator4() = default;
  TNavigator4(const TNavigator4&) = delete;
  TNavigator4& operator=(const TNavigator4&) = delete;

  // The current Navigator user's profile folder, ending in "\", or empty.
  std::string ProfileFolder() const;
  // The value of a preference in prefs.js (name matched without regard to
  // case, value as written, escaped backslashes left doubled), or nullopt.
  std::optional<std::string> ReadUserPref(std::string_view name);

 protected:
  Registry& registry_;

 private:
  bool LoadPreferences();

  std::string preferences_;  // the whole of prefs.js once loaded
  bool loaded_ = false;
  char line_terminator_ = 0;  // the first CR or LF met, kept from then on
};

class TNavigator4Paths : public TNavigator4 {
 public:
  using TNavigator4::TNavigator4;
  // The Navigator 4 cache folder that holds an index file, or empty.
  std::string CacheFolder();
};

// The first non-empty value that a line of prefs.js text gives for the
// preference `name`, or nullopt. `line_terminator` is the first CR or LF met
// (0 before any), read and updated as the scan goes.
std::optional<std::string> ScanUserPref(std::string_view preferences, std::string_view name,
                                        char& line_terminator);

// The value a prefs.js line gives for a lower-case pattern such as
// `user_pref("browser.cache.directory"`, or nullopt.
std::optional<std::string> ExtractPrefValue(std::string_view line, std::string_view pattern);

// The path of "Fat.db" in the folder, else of "Fat", else empty. The names
// are matched without regard to case, as Windows matches them, and the
// answer carries the name as it is on disk.
std::string FindCacheIndex(std::string_view folder);
bool HasCacheIndex(std::string_view folder);
// Of two existing files, a_path when it was modified strictly later, else b_path.
std::string NewerOf(std::string_view a_path, std::string_view b_path);

// The full path of the cache index file, or empty when none was found.
std::string LocateCacheIndex(Registry& registry);

}  // namespace webhoard
