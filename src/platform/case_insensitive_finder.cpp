#include "platform/case_insensitive_finder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard {

std::optional<std::string> CaseInsensitiveFinder::Find(const std::string& folder,
                                                       std::string_view relative) {
  std::string current = folder;
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string_view::npos) end = relative.size();
    const std::string_view component = relative.substr(start, end - start);
    const bool last = end == relative.size();
    start = end + 1;
    if (component.empty() || component == ".") {
      if (last) return std::nullopt;  // a name ending in "/" names no file
      continue;
    }
    auto fits = [last](const std::string& path) {
      return last ? FileExists(path) : DirectoryExists(path);
    };
    std::string candidate = current + std::string(component);
    if (!fits(candidate)) {
      const Listing& listing = ListFolder(current);
      const auto found = listing.find(AsciiLower(component));
      if (found == listing.end()) return std::nullopt;
      const auto real = std::find_if(found->second.begin(), found->second.end(),
                                     [&](const std::string& name) { return fits(current + name); });
      if (real == found->second.end()) return std::nullopt;
      candidate = current + *real;
    }
    if (last) return candidate;
    current = candidate + "/";
  }
  return std::nullopt;
}

const CaseInsensitiveFinder::Listing& CaseInsensitiveFinder::ListFolder(const std::string& folder) {
  const auto known = listings_.find(folder);
  if (known != listings_.end()) return known->second;
  Listing& listing = listings_[folder];
  std::error_code error;
  std::filesystem::directory_iterator it(folder.empty() ? std::string(".") : folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    std::string name = it->path().filename().string();
    listing[AsciiLower(name)].push_back(std::move(name));
  }
  for (auto& entry : listing) std::sort(entry.second.begin(), entry.second.end());
  return listing;
}

}  // namespace webhoard
