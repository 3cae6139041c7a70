#include "search/archive_search.h"

#include <cstdio>
#include <memory>

#include "archive/archive_layout.h"
#include "archive/catalogue_reader.h"
#include "cache/cache_item.h"
#include "cache/mime_types.h"
#include "common/ascii.h"
#include "common/file_util.h"
#include "url/canonical_url.h"
#include "url/url_utils.h"

namespace webhoard {
namespace {

// The edits hand over C strings: a text ends at its first NUL.
std::string_view UpToNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  return nul == std::string_view::npos ? text : text.substr(0, nul);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int SearchIconOf(int mime_index) {
  const std::string prefix = MimeTypeName(mime_index).substr(0, 5);
  if (prefix == "text/") return kSearchIconText;
  if (prefix == "image") return kSearchIconImage;
  if (prefix == "audio") return kSearchIconAudio;
  if (prefix == "video") return kSearchIconVideo;
  return kSearchIconOther;
}

std::string SearchFolderOf(std::string_view folder) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out.push_back('/');
  return out;
}

std::optional<std::string> CheckSearchRequest(std::string_view url_text, std::string_view page_text,
                                              std::string_view folder) {
  if (url_text.empty() && page_text.empty()) return std::string(kEnterSearchText);
  if (folder.empty()) return std::string(kEnterArchiveFolder);
  if (!DirectoryExists(std::string(folder))) {
    return std::string(kCouldNotFindFolder) + std::string(folder);
  }
  if (!FileExists(ArchiveRootFile(SearchFolderOf(folder), kArchiveInfoFileName))) {
    return std::string(kNoArchiveInfoFile);
  }
  return std::nullopt;
}

bool FileContainsText(const std::string& path, std::string_view lower_text) {
  const std::string_view needle = UpToNul(lower_text);
  if (needle.empty()) return false;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  // Each block is searched together with the last needle-length-minus-one
  // bytes of the one before, so a text that straddles two blocks is found.
  // A NUL is a byte like any other.
  const std::size_t carry = needle.size() - 1;
  std::string window;
  char block[kPageBlockSize];
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file.get());
    if (window.size() > carry) window.erase(0, window.size() - carry);
    const std::size_t start = window.size();
    window.append(block, got);
    for (std::size_t i = start; i < window.size(); ++i) window[i] = AsciiLower(window[i]);
    if (window.find(needle) != std::string::npos) return true;
    if (got < sizeof block) return false;
  }
}

SearchResult SearchArchive(std::string_view folder, std::string_view url_text,
                           std::string_view page_text, const std::function<bool()>& after_record) {
  SearchResult result;
  const std::string search_folder = SearchFolderOf(folder);
  const std::string url_lower = AsciiLower(UpToNul(CutAt(url_text, kShortTextLength)));
  const std::string page_lower = AsciiLower(UpToNul(CutAt(page_text, kShortTextLength)));
  CatalogueReader catalogue(search_folder);
  TCacheItem item;
  for (;;) {
    const CatalogueRecord verdict = catalogue.Next(item);
    if (verdict == CatalogueRecord::kEnd || verdict == CatalogueRecord::kDamaged) break;
    ++result.records_read;
    if (verdict == CatalogueRecord::kKept) {
      const std::string archive_file = *ArchivePathOf(search_folder, item);
      std::string address = CutAt(item.URL, kShortTextLength);
      LinkForm(address);
      bool found = url_lower.empty() || AsciiLower(address).find(url_lower) != std::string::npos;
      if (found && !page_lower.empty()) {
        found = item.MimeIndex == kMimeIndexHtml && FileContainsText(archive_file, page_lower);
      }
      if (found) {
        result.hits.push_back(
            {std::move(address), archive_file, SearchIconOf(item.MimeIndex), item});
      }
    }
    if (after_record && !after_record()) {
      result.stopped = true;
      break;
    }
  }
  // The records before the damage were searched; the damage is said all the same.
  if (catalogue.report().damaged) result.error = catalogue.report().damage;
  return result;
}

}  // namespace webhoard
