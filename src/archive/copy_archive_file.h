// Copying a cached file into the archive: the one way a copy reaches its
// place, for the archive run's copies and the index icons alike.
#pragma once

#include <string>

#include "archive/stored_body_copy.h"

namespace webhoard {

// Copies a file, replacing the target. Answers whether it worked; on
// failure `error` (when given) names the file and the system's reason
// ("cannot read /cache/A.MOZ: Permission denied"). The copy is written
// beside the target under a temporary name and renamed over it only when
// complete, so a failed copy leaves an existing target as it was; the copy
// keeps the source's modification time.
bool CopyArchiveFile(const std::string& source, const std::string& target,
                     std::string* error = nullptr);

// Copies a body out of its cache file the same way (temporary file, one
// rename): decoded, or as stored when it cannot be decoded (the result says
// why). A failed copy, a failed checksum included, leaves the target as it
// was. The copy keeps no date of the cache file, which may hold many bodies.
BodyCopyResult CopyArchiveBody(const StoredBody& body, const std::string& target);

}  // namespace webhoard
