#include "cache/navigator/navigator_location.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/ascii.h"
#include "common/file_util.h"
#include "platform/case_insensitive_finder.h"
#include "platform/local_path.h"

namespace webhoard {
namespace {

constexpr std::string_view kUsersKey = "Software\\Netscape\\Netscape Navigator\\Users";
constexpr std::string_view kOldCacheKey = "Software\\Netscape\\Netscape Navigator\\Cache";

std::string Slashes(std::string_view path, char from, char to) {
  std::string out(path);
  std::replace(out.begin(), out.end(), from, to);
  return out;
}

// The real name in `folder` that equals `name` without regard to case: the
// exact spelling when present, else the lowest in byte order, so the answer
// does not depend on the order of the listing. Only regular files count.
std::optional<std::string> FindNameNoCase(std::string folder, std::string_view name) {
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  const auto found = CaseInsensitiveFinder().Find(folder, name);
  if (!found) return std::nullopt;
  return found->substr(folder.size());
}

std::optional<std::filesystem::file_time_type> ModificationTime(std::string_view windows_path) {
  std::error_code error;
  const auto time = std::filesystem::last_write_time(LocalFileSystemPath(windows_path), error);
  if (error) return std::nullopt;
  return time;
}

}  // namespace

std::string TNavigator4::ProfileFolder() const {
  std::string user;
  if (const auto users = RegistryKey::Open(registry_, RegistryRoot::kLocalMachine, kUsersKey)) {
    user = users->ReadString("CurrentUser").value_or("");
  }
  const auto profile = RegistryKey::Open(registry_, RegistryRoot::kLocalMachine,
                                         std::string(kUsersKey) + "\\" + user);
  if (!profile) return "";
  std::string folder = profile->ReadString("DirRoot").value_or("");
  while (!folder.empty() && (folder.back() == ' ' || folder.back() == ';')) folder.pop_back();
  if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
  return folder;
}

bool TNavigator4::LoadPreferences() {
  if (loaded_) return true;
  // Without a profile there is no prefs.js; a bare "prefs.js" would name a
  // file in whatever folder the program happens to run in.
  const std::string profile = ProfileFolder();
  if (profile.empty()) return false;
  const std::string path = LocalFileSystemPath(profile + "prefs.js");
  if (!FileExists(path)) return false;
  auto bytes = ReadFileBytes(path, kMaxPreferencesBytes);
  if (!bytes) {
    preferences_.clear();
    return false;
  }
  preferences_ = std::move(*bytes);
  loaded_ = true;
  return true;
}

std::optional<std::string> ExtractPrefValue(std::string_view line, std::string_view pattern) {
  const std::string lower = AsciiLower(line);
  const std::size_t found = lower.find(pattern);
  if (found == std::string::npos) return std::nullopt;
  std::size_t from = found + pattern.size();
  while (from < line.size() && line[from] != ',') ++from;
  while (from < line.size() && (line[from] == ' ' || line[from] == '"' || line[from] == ',')) {
    ++from;
  }
  if (from + 1 >= line.size()) return std::nullopt;
  const std::size_t close = line.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  // Step back over the closing parenthesis and the quote that ends a string
  // value, and no further: a value may itself end in ")" or an escaped quote
  // ("D:\\Cache (old)").
  auto to = static_cast<std::ptrdiff_t>(close) - 1;
  if (to >= 0 && line[static_cast<std::size_t>(to)] == '"') --to;
  if (to < static_cast<std::ptrdiff_t>(from)) return std::nullopt;
  const auto last = static_cast<std::size_t>(to);
  return std::string(line.substr(from, last - from + 1));
}

namespace {

// Reads the line at `position` of the data; false at the end of the data.
// CR and LF are never part of a line; the first one met becomes the line
// terminator, so with CR LF line ends the LF is dropped at the start of the
// next line.
bool ReadPrefsLine(std::string_view data, std::size_t& position, char& terminator,
                   std::string& line) {
  line.clear();
  if (position >= data.size()) return false;
  while (position < data.size()) {
    const char c = data[position++];
    if (c == '\r' || c == '\n') {
      if (terminator == 0) terminator = c;
      if (c == terminator) return true;
      continue;
    }
    line.push_back(c);
  }
  return true;
}

}  // namespace

std::optional<std::string> ScanUserPref(std::string_view preferences, std::string_view name,
                                        char& line_terminator) {
  const std::string pattern = "user_pref(\"" + AsciiLower(name) + "\"";
  std::size_t position = 0;
  std::string line;
  while (ReadPrefsLine(preferences, position, line_terminator, line)) {
    auto value = ExtractPrefValue(line, pattern);
    if (value && !value->empty()) return value;
  }
  return std::nullopt;
}

std::optional<std::string> TNavigator4::ReadUserPref(std::string_view name) {
  if (!LoadPreferences()) return std::nullopt;
  return ScanUserPref(preferences_, name, line_terminator_);
}

std::string TNavigator4Paths::CacheFolder() {
  if (const auto value = ReadUserPref("browser.cache.directory")) {
    const std::string folder = Slashes(*value, '/', '\\');
    if (HasCacheIndex(folder)) return folder;
  }
  // No profile, no profile cache folder (a bare "Cache" would be a folder
  // of the current working folder).
  const std::string profile = ProfileFolder();
  if (profile.empty()) return "";
  const std::string folder = Slashes(profile + "Cache", '/', '\\');
  return HasCacheIndex(folder) ? folder : "";
}

std::string FindCacheIndex(std::string_view folder) {
  // An empty folder names no folder at all (not the current one).
  if (folder.empty()) return "";
  const std::string directory = LocalFileSystemPath(folder);
  for (const std::string_view name : {std::string_view("Fat.db"), std::string_view("Fat")}) {
    if (const auto real = FindNameNoCase(directory, name)) {
      std::string path(folder);
      if (path.back() != '\\') path.push_back('\\');
      return path + *real;
    }
  }
  return "";
}

bool HasCacheIndex(std::string_view folder) {
  return !FindCacheIndex(folder).empty();
}

std::string NewerOf(std::string_view a_path, std::string_view b_path) {
  const auto a = ModificationTime(a_path);
  const auto b = ModificationTime(b_path);
  const bool a_later = a && (!b || *a > *b);
  return std::string(a_later ? a_path : b_path);
}

std::string LocateCacheIndex(Registry& registry) {
  // Paths are kept whole: a path cut short names another folder.
  std::string profile_folder;
  {
    TNavigator4Paths paths(registry);
    profile_folder = paths.CacheFolder();
  }
  std::string old_folder;
  if (const auto key = RegistryKey::Open(registry, RegistryRoot::kCurrentUser, kOldCacheKey)) {
    old_folder = key->ReadString("Cache Dir").value_or("");
  }
  const std::string a = FindCacheIndex(old_folder);
  const std::string b = FindCacheIndex(profile_folder);
  if (!a.empty() && !b.empty()) return NewerOf(a, b);
  return !b.empty() ? b : a;
}

}  // namespace webhoard
