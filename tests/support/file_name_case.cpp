#include "support/file_name_case.h"

#include <filesystem>

namespace webhoard::testing {

bool IgnoresCase(const TempDir& folder) {
  const std::string probe = folder.Write(".case-probe", "");
  std::error_code ec;
  const bool ignores = std::filesystem::exists(folder.File(".CASE-PROBE"), ec);
  std::filesystem::remove(probe, ec);
  return ignores;
}

}  // namespace webhoard::testing
