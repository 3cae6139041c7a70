// An archive folder made from the bundled Navigator sample cache by a real
// archive run, for the windows that work on archives.
#pragma once

#include <string>

#include "support/temp_dir.h"

namespace webhoard::testing {

class SampleArchive {
 public:
  SampleArchive();

  // The archive folder (with a trailing separator); empty when the run failed.
  const std::string& folder() const { return folder_; }
  // The archived copy whose address ends in `url_end`; empty when none.
  std::string CopyOf(const std::string& url_end) const;

  TempDir dir;

 private:
  std::string folder_;
};

}  // namespace webhoard::testing
