#include "support/archive_checks.h"

#include <algorithm>
#include <filesystem>

#include "archive/archive_layout.h"
#include "archive/catalogue_reader.h"
#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard::testing {
namespace {

namespace fs = std::filesystem;

// The files at depth three below the folder: the archived copies.
std::vector<fs::path> CopiesOnDisk(const std::string& folder) {
  std::vector<fs::path> copies;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it.depth() == 2 && !it->is_directory()) copies.push_back(it->path());
  }
  return copies;
}

// The value of the attribute starting at `at` (just after "="), quoted or not.
std::string ValueAt(const std::string& page, std::size_t at) {
  if (at < page.size() && page[at] == '"') {
    const std::size_t end = page.find('"', at + 1);
    return page.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
  }
  const std::size_t end = page.find_first_of(" \t\r\n>", at);
  return page.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

}  // namespace

std::vector<std::string> ArchiveInconsistencies(const std::string& folder) {
  std::vector<std::string> problems;
  const CatalogueListing listing = ReadCatalogue(folder);
  if (listing.report.damaged) problems.push_back("damaged catalogue: " + listing.report.damage);
  if (listing.report.records_missing > 0) {
    problems.push_back(std::to_string(listing.report.records_missing) +
                       " records name copies that do not exist");
  }
  std::set<std::string> named;
  for (const auto& item : listing.items) {
    if (const auto path = ArchivePathOf(folder, *item))
      named.insert(fs::path(*path).lexically_normal().string());
  }
  for (const fs::path& copy : CopiesOnDisk(folder)) {
    const std::string name = copy.filename().string();
    if (!name.empty() && name[0] == '.') {
      problems.push_back("temporary file left: " + copy.string());
    } else if (!named.count(copy.lexically_normal().string())) {
      problems.push_back("copy that no record names: " + copy.string());
    }
  }
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(kArchiveTempFileName, 0) == 0) {
      problems.push_back("temporary catalogue left: " + it->path().string());
    }
  }
  return problems;
}

std::vector<std::string> BrokenLocalLinks(const std::string& folder) {
  std::vector<std::string> broken;
  for (const fs::path& copy : CopiesOnDisk(folder)) {
    if (copy.parent_path().filename() != "text") continue;
    const std::string page = ReadFileBytes(copy.string()).value_or("");
    const std::string upper = AsciiUpper(page);
    for (const char* attribute : {"HREF=", "SRC="}) {
      for (std::size_t at = upper.find(attribute); at != std::string::npos;
           at = upper.find(attribute, at + 1)) {
        std::string value = ValueAt(page, at + std::char_traits<char>::length(attribute));
        value = value.substr(0, value.find_first_of("#?"));
        const std::size_t colon = value.find(':');
        if (value.empty() || (colon != std::string::npos && colon < value.find('/'))) continue;
        std::error_code ec;
        if (!fs::exists(copy.parent_path() / value, ec)) {
          broken.push_back(copy.string() + ": " + value);
        }
      }
    }
  }
  return broken;
}

std::set<std::string> CatalogueUrls(const std::string& folder) {
  std::set<std::string> urls;
  for (const auto& item : ReadCatalogue(folder).items) urls.insert(item->URL);
  return urls;
}

std::map<std::string, std::string> FilesOutside(const std::string& root, const std::string& skip) {
  std::map<std::string, std::string> files;
  fs::path skipped = fs::path(skip).lexically_normal();
  if (!skipped.empty() && skipped.filename().empty()) skipped = skipped.parent_path();
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().lexically_normal() == skipped) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) {
      files[it->path().string()] = ReadFileBytes(it->path().string()).value_or("<unreadable>");
    }
  }
  return files;
}

}  // namespace webhoard::testing
