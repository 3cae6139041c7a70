#include "cache/places/browser_cache_places.h"

#include <algorithm>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>
#include <utility>

#include "common/file_util.h"
#include "platform/user_folders.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;

// A folder to search, and the browser the caches below it belong to.
struct Place {
  std::string folder;
  std::string browser;
};

bool IsPlainFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(path, ec)) && !ec;
}

// The real folders directly inside `folder`, in name order (links skipped:
// they may lead out of the tree being searched).
std::vector<std::string> SubFolders(const std::string& folder) {
  std::vector<std::string> folders;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    if (it->is_directory(type_ec) && !it->is_symlink(type_ec)) {
      folders.push_back(it->path().string());
    }
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

std::string NameOf(const fs::path& path) {
  return path.filename().string();
}

// "Firefox, profile abc.default-release", or the browser alone when the
// folder lies in no profile (a copied cache).
std::string Describe(const std::string& browser, const std::string& profile) {
  return profile.empty() ? browser : browser + ", profile " + profile;
}

void Add(std::vector<FoundCache>& found, std::string folder, std::string description,
         std::optional<ChromiumBackend> backend) {
  const bool known = std::any_of(found.begin(), found.end(),
                                 [&](const FoundCache& cache) { return cache.folder == folder; });
  if (!known) found.push_back({std::move(folder), std::move(description), backend});
}

// The profile whose "Cache" (or "Cache/Cache_Data") is `cache`, or empty.
std::string ChromiumProfileOf(const fs::path& cache) {
  fs::path folder = cache;
  if (NameOf(folder) == "Cache_Data") folder = folder.parent_path();
  return NameOf(folder) == "Cache" ? NameOf(folder.parent_path()) : std::string();
}

bool AddChromiumCache(const std::string& folder, const std::string& browser,
                      std::vector<FoundCache>& found) {
  const std::optional<ChromiumBackend> backend = ChromiumBackendOf(folder);
  if (!backend) return false;
  Add(found, folder, Describe(browser, ChromiumProfileOf(folder)), backend);
  return true;
}

// The HTTP cache of a profile folder: Cache/Cache_Data, or Cache itself in
// versions before the Cache_Data level.
bool AddProfileCache(const std::string& profile, const std::string& browser,
                     std::vector<FoundCache>& found) {
  const std::string cache = JoinPath(profile, "Cache");
  if (!IsPlainFolder(cache)) return false;
  const std::string data = JoinPath(cache, "Cache_Data");
  if (IsPlainFolder(data) && AddChromiumCache(data, browser, found)) return true;
  return AddChromiumCache(cache, browser, found);
}

void FindChromium(const std::string& dir, const std::string& browser,
                  std::vector<FoundCache>& found) {
  if (AddChromiumCache(dir, browser, found)) return;
  const std::string data = JoinPath(dir, "Cache_Data");
  if (IsPlainFolder(data) && AddChromiumCache(data, browser, found)) return;
  if (AddProfileCache(dir, browser, found)) return;
  for (const std::string& profile : SubFolders(dir)) AddProfileCache(profile, browser, found);
}

// The profile of a cache2 folder or of its entries folder, or empty.
std::string FirefoxProfileOf(const fs::path& cache) {
  fs::path folder = cache;
  if (NameOf(folder) == "entries") folder = folder.parent_path();
  return NameOf(folder) == "cache2" ? NameOf(folder.parent_path()) : std::string();
}

bool AddFirefoxCache(const std::string& folder, const std::string& browser,
                     std::vector<FoundCache>& found) {
  if (!IsFirefoxCacheFolder(folder)) return false;
  Add(found, folder, Describe(browser, FirefoxProfileOf(folder)), std::nullopt);
  return true;
}

bool AddFirefoxProfileCache(const std::string& profile, const std::string& browser,
                            std::vector<FoundCache>& found) {
  const std::string cache = JoinPath(profile, "cache2");
  return IsPlainFolder(cache) && AddFirefoxCache(cache, browser, found);
}

void FindFirefox(const std::string& dir, const std::string& browser,
                 std::vector<FoundCache>& found) {
  if (AddFirefoxCache(dir, browser, found)) return;
  if (AddFirefoxProfileCache(dir, browser, found)) return;
  // Windows and macOS keep the profiles one level lower, in "Profiles".
  std::vector<std::string> profiles = SubFolders(JoinPath(dir, "Profiles"));
  for (std::string& profile : SubFolders(dir)) profiles.push_back(std::move(profile));
  for (const std::string& profile : profiles) AddFirefoxProfileCache(profile, browser, found);
}

// Linux keeps caches under $XDG_CACHE_HOME when it is set to an absolute
// path, else under ~/.cache.
std::string XdgCacheHome() {
  const std::string xdg = EnvironmentValue("XDG_CACHE_HOME");
  if (!xdg.empty() && xdg.front() == '/') return xdg;
  return JoinPath(EnvironmentValue("HOME"), ".cache");
}

// The folder of the local (cache) tree that matches `dir` of the roaming
// or config tree, or empty: the browsers keep a profile's settings in one
// tree and its cache, under the same relative path, in another.
std::string LocalTreeOf(CacheBrowser browser, const std::string& dir) {
  std::string path = fs::path(dir).generic_string() + "/";
  using Rewrite = std::pair<std::string_view, std::string_view>;
  static constexpr Rewrite kChromium[] = {
      {"/.config/", "/.cache/"},
      {"/Library/Application Support/", "/Library/Caches/"},
  };
  static constexpr Rewrite kFirefox[] = {
      {"/.var/app/org.mozilla.firefox/.mozilla/firefox/",
       "/.var/app/org.mozilla.firefox/cache/mozilla/firefox/"},
      {"/.mozilla/firefox/", "/.cache/mozilla/firefox/"},
      {"/.config/mozilla/firefox/", "/.cache/mozilla/firefox/"},
      {"/Library/Application Support/Firefox/", "/Library/Caches/Firefox/"},
  };
#ifdef _WIN32
  if (browser == CacheBrowser::kFirefox) {
    const std::string roaming = fs::path(EnvironmentValue("APPDATA")).generic_string() + "/";
    const std::string local = fs::path(EnvironmentValue("LOCALAPPDATA")).generic_string() + "/";
    if (roaming.size() > 1 && local.size() > 1 && path.rfind(roaming, 0) == 0) {
      return fs::path(local + path.substr(roaming.size())).lexically_normal().string();
    }
  }
#endif
  for (const auto& [from, to] : browser == CacheBrowser::kChromium
                                    ? std::span<const Rewrite>(kChromium)
                                    : std::span<const Rewrite>(kFirefox)) {
    const std::size_t at = path.find(from);
    if (at == std::string::npos) continue;
    path.replace(at, from.size(), to);
    // A ~/.cache so made means $XDG_CACHE_HOME where that is set.
    const std::string home_cache = JoinPath(EnvironmentValue("HOME"), ".cache") + "/";
    if (path.rfind(home_cache, 0) == 0)
      path = XdgCacheHome() + "/" + path.substr(home_cache.size());
    path.pop_back();
    return fs::path(path).lexically_normal().string();
  }
  return {};
}

std::vector<FoundCache> FindIn(CacheBrowser browser, const std::vector<Place>& places) {
  std::vector<FoundCache> found;
  for (const Place& place : places) {
    if (browser == CacheBrowser::kChromium) {
      FindChromium(place.folder, place.browser, found);
    } else {
      FindFirefox(place.folder, place.browser, found);
    }
  }
  return found;
}

std::vector<Place> DefaultPlaces(CacheBrowser browser) {
  const bool chromium = browser == CacheBrowser::kChromium;
#ifdef _WIN32
  const std::string local = EnvironmentValue("LOCALAPPDATA");
  if (local.empty()) return {};
  const auto at = [&](std::string_view path) { return JoinPath(local, path); };
  if (!chromium) return {{at("Mozilla\\Firefox\\Profiles"), "Firefox"}};
  return {
      {at("Google\\Chrome\\User Data"), "Google Chrome"},
      {at("Google\\Chrome Beta\\User Data"), "Google Chrome Beta"},
      {at("Google\\Chrome SxS\\User Data"), "Google Chrome Canary"},
      {at("Chromium\\User Data"), "Chromium"},
      {at("Microsoft\\Edge\\User Data"), "Microsoft Edge"},
      {at("BraveSoftware\\Brave-Browser\\User Data"), "Brave"},
      {at("Vivaldi\\User Data"), "Vivaldi"},
      {at("Opera Software\\Opera Stable"), "Opera"},
  };
#else
  const std::string home = EnvironmentValue("HOME");
  if (home.empty()) return {};
  const auto in_home = [&](std::string_view path) { return JoinPath(home, path); };
#ifdef __APPLE__
  const auto at = [&](std::string_view path) { return in_home(JoinPath("Library/Caches", path)); };
  if (!chromium) return {{at("Firefox/Profiles"), "Firefox"}};
  return {
      {at("Google/Chrome"), "Google Chrome"},
      {at("Google/Chrome Beta"), "Google Chrome Beta"},
      {at("Chromium"), "Chromium"},
      {at("Microsoft Edge"), "Microsoft Edge"},
      {at("BraveSoftware/Brave-Browser"), "Brave"},
      {at("Vivaldi"), "Vivaldi"},
  };
#else
  const std::string cache = XdgCacheHome();
  const auto at = [&](std::string_view path) { return JoinPath(cache, path); };
  if (!chromium) {
    return {
        {at("mozilla/firefox"), "Firefox"},
        {in_home("snap/firefox/common/.cache/mozilla/firefox"), "Firefox (snap)"},
        {in_home(".var/app/org.mozilla.firefox/cache/mozilla/firefox"), "Firefox (flatpak)"},
    };
  }
  return {
      {at("google-chrome"), "Google Chrome"},
      {at("google-chrome-beta"), "Google Chrome Beta"},
      {at("google-chrome-unstable"), "Google Chrome Dev"},
      {at("chromium"), "Chromium"},
      {at("microsoft-edge"), "Microsoft Edge"},
      {at("microsoft-edge-beta"), "Microsoft Edge Beta"},
      {at("microsoft-edge-dev"), "Microsoft Edge Dev"},
      {at("BraveSoftware/Brave-Browser"), "Brave"},
      {at("vivaldi"), "Vivaldi"},
      {at("opera"), "Opera"},
      {in_home("snap/chromium/common/.cache/chromium"), "Chromium (snap)"},
      {in_home(".var/app/org.chromium.Chromium/cache/chromium"), "Chromium (flatpak)"},
      {in_home(".var/app/com.google.Chrome/cache/google-chrome"), "Google Chrome (flatpak)"},
      {in_home(".var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser"), "Brave (flatpak)"},
      {in_home(".var/app/com.microsoft.Edge/cache/microsoft-edge"), "Microsoft Edge (flatpak)"},
  };
#endif
#endif
}

}  // namespace

std::vector<FoundCache> FindCachesIn(CacheBrowser browser, const std::string& dir) {
  if (dir.empty()) return {};
  std::error_code ec;
  fs::path absolute = fs::absolute(dir, ec).lexically_normal();
  if (ec) return {};
  // "Default/Cache/" names the same folder as "Default/Cache".
  if (absolute.filename().empty() && absolute.has_relative_path())
    absolute = absolute.parent_path();
  const std::string given = absolute.string();
  const std::string name = browser == CacheBrowser::kChromium ? "Chromium" : "Firefox";
  std::vector<Place> places = {{given, name}};
  if (const std::string local = LocalTreeOf(browser, given); !local.empty() && local != given) {
    places.push_back({local, name});
  }
  return FindIn(browser, places);
}

std::vector<FoundCache> FindDefaultCaches(CacheBrowser browser) {
  return FindIn(browser, DefaultPlaces(browser));
}

}  // namespace webhoard
