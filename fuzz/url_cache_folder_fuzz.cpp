// The file side of the URL cache: an index.dat (made from the input as
// sound_index_dat.h says) in a real container folder with its cache folders
// and cached files, enumerated and then changed by a delete, as the
// Internet Explorer edition lists and deletes. Every local file named must
// lie inside the container, and nothing outside it may change.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/file_util.h"
#include "fuzz_files.h"
#include "platform/url_cache.h"
#include "sound_index_dat.h"

namespace {

constexpr const char* kName = "url_cache_folder_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  const std::string outside = fuzz_files::FreshFolder("outside");
  fuzz_files::WriteFile(outside + "/file.htm", "outside");
  const std::string container = fuzz_files::FreshFolder("Content.IE5");
  fuzz_files::WriteFile(container + "/AAAAAAAA/file.htm", "a");
  fuzz_files::WriteFile(container + "/BBBBBBBB/file.htm", "b");
  if (!fuzz_files::WriteFile(container + "/index.dat",
                             fuzz_index_dat::IndexFromInput(data, size))) {
    return 0;
  }

  const std::unique_ptr<UrlCache> cache = OpenUrlCache(container);
  if (!cache) return 0;
  std::string first_url;
  UrlCacheEntry entry;
  std::uint32_t buffer_size = 1u << 20;
  const UrlCacheFindHandle handle = cache->FindFirstUrlCacheEntry(nullptr, entry, buffer_size);
  if (handle != 0) {
    int entries = 0;
    do {
      if (!entry.local_file_name.empty()) {
        fuzz_files::Check(fuzz_files::IsInside(entry.local_file_name, container), kName,
                          "a cached file lies outside the container");
      }
      if (first_url.empty()) first_url = entry.source_url_name;
      buffer_size = 1u << 20;
    } while (++entries < 10000 && cache->FindNextUrlCacheEntry(handle, entry, buffer_size));
    cache->FindCloseUrlCache(handle);
  }
  if (!first_url.empty()) cache->DeleteUrlCacheEntry(first_url);
  fuzz_files::Check(ReadFileBytes(outside + "/file.htm").value_or("") == "outside", kName,
                    "a file outside the container changed");
  return 0;
}
