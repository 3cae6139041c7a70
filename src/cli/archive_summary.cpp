#include "cli/archive_summary.h"

#include <cstdio>
#include <filesystem>
#include <set>
#include <system_error>

#include "archive/catalogue_reader.h"

namespace webhoard::cli {

std::string HumanSize(std::uint64_t bytes) {
  constexpr const char* kUnits[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
  double value = static_cast<double>(bytes);
  std::size_t unit = 0;
  while (value >= 1024.0 && unit + 1 < std::size(kUnits)) {
    value /= 1024.0;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  } else {
    std::snprintf(text, sizeof text, value < 10.0 ? "%.1f %s" : "%.0f %s", value, kUnits[unit]);
  }
  return text;
}

std::string ArchiveContents(const std::string& folder) {
  const CatalogueListing listing = ReadCatalogue(folder);
  std::set<std::string> sites;
  for (const auto& item : listing.items) sites.insert(item->Domain);
  std::uint64_t bytes = 0;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    std::error_code size_error;
    if (it->is_regular_file(size_error)) {
      const auto size = it->file_size(size_error);
      if (!size_error) bytes += size;
    }
  }
  return std::to_string(listing.items.size()) + " items of " + std::to_string(sites.size()) +
         " sites, " + HumanSize(bytes);
}

}  // namespace webhoard::cli
