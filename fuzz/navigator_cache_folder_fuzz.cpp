// A whole Navigator cache index read from a real cache folder: the input is
// the index file (text FAT or hash-page FAT.DB, whichever its bytes say),
// beside a few cached files, one of them in a subfolder and one behind a
// link that leads out of the folder. Format detection, the page size, a
// short last page and the case-blind file look-up all run as in use. Every
// item must name a file that lies inside the cache folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cache/mime_types.h"
#include "cache/navigator/read_cache_index.h"
#include "common/prompter.h"
#include "fuzz_files.h"

namespace {

constexpr const char* kName = "navigator_cache_folder_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  static const std::string program = [] {
    const std::string folder = fuzz_files::FreshFolder("program");
    LoadMimeTypes(folder + "/");
    return folder;
  }();
  const std::string outside = fuzz_files::FreshFolder("outside");
  fuzz_files::WriteFile(outside + "/secret.txt", "secret");
  const std::string cache = fuzz_files::FreshFolder("cache");
  fuzz_files::WriteFile(cache + "/A.MOZ", "<html>a</html>");
  fuzz_files::WriteFile(cache + "/Sub/b.gif", "GIF89a");
  std::error_code ec;
  std::filesystem::create_symlink(outside, cache + "/out", ec);
  const std::string index = cache + ((size > 0 && data[0] % 2 == 0) ? "/FAT.DB" : "/FAT");
  if (!fuzz_files::WriteFile(index, std::string_view(reinterpret_cast<const char*>(data), size))) {
    return 0;
  }

  TCacheItemList items;
  CacheIndexStats stats;
  SilentPrompter prompter;
  try {
    ReadCacheIndex(index, items, prompter, &stats);
  } catch (const CacheIndexError&) {
    return 0;  // an index that cannot be read at all is reported, not a crash
  }
  fuzz_files::Check(items.size() == stats.items_added, kName, "items and their count disagree");
  for (const auto& item : items) {
    fuzz_files::Check(fuzz_files::IsInside(item->LocalFile, cache), kName,
                      "an item's file lies outside the cache folder");
    fuzz_files::Check(!item->Domain.empty() && item->Domain != "NONE", kName, "an item without a domain");
  }
  return 0;
}
