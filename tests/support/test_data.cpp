#include "support/test_data.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace webhoard::testing {
namespace {

// GTEST_SKIP returns from the function it is written in, so it lives here
// rather than in SharedSample, which must answer a value.
void SkipForMissing(const std::filesystem::path& missing) {
  GTEST_SKIP() << "needs the shared real samples: " << missing.string()
               << " is not there (a fresh clone has no ../shared; set "
                  "WEBHOARD_SHARED_TESTDATA to the folder holding them)";
}

}  // namespace

std::string TestData(std::string_view relative) {
  return std::string(WEBHOARD_TEST_DATA) + "/" + std::string(relative);
}

std::string SharedSample(std::string_view relative) {
  const std::filesystem::path path =
      std::filesystem::path(WEBHOARD_SHARED_TESTDATA) / std::string(relative);
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) return path.string();
  // Name the nearest folder that is missing, not just the file.
  std::filesystem::path missing = path;
  while (missing.has_parent_path() && missing.parent_path() != missing &&
         !std::filesystem::exists(missing.parent_path(), ec)) {
    missing = missing.parent_path();
  }
  SkipForMissing(missing.lexically_normal());
  return {};
}

}  // namespace webhoard::testing
