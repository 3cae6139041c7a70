// One Simple Cache entry file made of the input, in a cache folder of its
// own, read as a cache: the one entry is counted, and a body kept lies
// inside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cache/chromium/simple_cache_reader.h"
#include "fuzz_files.h"

namespace {

constexpr const char* kName = "simple_cache_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  const std::string folder = fuzz_files::FreshFolder("Cache_Data");
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (!fuzz_files::WriteFile(folder + "/0123456789abcdef_0", input)) return 0;
  const StoredResponses read = ReadSimpleCache(folder);
  fuzz_files::Check(read.entries == 1, kName, "the entry was not counted once");
  fuzz_files::Check(read.responses.size() + read.SkippedCount() == 1, kName,
                    "the entry was neither kept nor skipped");
  for (const StoredResponse& response : read.responses) {
    fuzz_files::Check(
        response.body.length <= size && response.body.offset <= size - response.body.length, kName,
        "a body lies outside the entry file");
  }
  return 0;
}
