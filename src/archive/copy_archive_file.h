// Copying a cached file into the archive: the one way a copy reaches its
// place, for the archive run's copies and the index icons alike.
#pragma once

#include <string>

namespace webhoard {

// Copies a file, replacing the target. Answers whether it worked; on
// failure `error` (when given) names the file and the system's reason
// ("cannot read /cache/A.MOZ: Permission denied"). The copy is written
// beside the target under a temporary name and renamed over it only when
// complete, so a failed copy leaves an existing target as it was; the copy
// keeps the source's modification time.
bool CopyArchiveFile(const std::string& source, const std::string& target,
                     std::string* error = nullptr);

}  // namespace webhoard
