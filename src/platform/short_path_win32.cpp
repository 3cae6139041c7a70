#include <windows.h>

#include "platform/short_path.h"

namespace webhoard {

// The 8.3 form where the volume keeps one; the path itself where it does
// not (short names switched off, a path that does not exist).
std::string ShortPathName(const std::string& path) {
  const DWORD needed = ::GetShortPathNameA(path.c_str(), nullptr, 0);
  if (needed == 0) return path;
  std::string short_path(needed, '\0');
  const DWORD written = ::GetShortPathNameA(path.c_str(), short_path.data(), needed);
  if (written == 0 || written >= needed) return path;
  short_path.resize(written);
  return short_path;
}

}  // namespace webhoard
