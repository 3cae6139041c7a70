#include "platform/short_path.h"

namespace webhoard {

// POSIX file systems have no alternative short names; the opener receives
// the path as one argument, so spaces in it do no harm.
std::string ShortPathName(const std::string& path) { return path; }

}  // namespace webhoard
