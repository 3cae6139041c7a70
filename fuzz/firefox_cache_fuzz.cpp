// Firefox's disk cache: the input is one entry file in a scratch
// cache2/entries folder, read as the cache reader lists it. Every kept
// response must name a body inside that file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cache/firefox/cache2_reader.h"
#include "fuzz_files.h"

namespace {

constexpr const char* kName = "firefox_cache_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  const std::string cache2 = fuzz_files::FreshFolder("cache2");
  const std::string entry = cache2 + "/entries/0123456789ABCDEF0123456789ABCDEF01234567";
  if (!fuzz_files::WriteFile(entry, std::string(reinterpret_cast<const char*>(data), size))) {
    return 0;
  }
  const StoredResponses read = ReadFirefoxCache(cache2);
  fuzz_files::Check(read.entries == 1, kName, "the entry was not counted once");
  for (const StoredResponse& response : read.responses) {
    fuzz_files::Check(response.body.file == entry, kName, "a body outside the entry file");
    fuzz_files::Check(
        response.body.offset == 0 && response.body.length > 0 && response.body.length < size, kName,
        "a body past the entry's data");
  }
  return 0;
}
