// The short form of a path, for handing paths to programs that dislike
// spaces. Windows has 8.3 names for that; elsewhere a path is its own short
// form.
#pragma once

#include <string>

namespace webhoard {

std::string ShortPathName(const std::string& path);

}  // namespace webhoard
