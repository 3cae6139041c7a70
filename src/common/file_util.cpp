// The file helpers that are the same on every system.
#include "common/file_util.h"

namespace webhoard {

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
  return WriteFileAtomically(path, contents, path + ".tmp", error);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  if (out.empty()) return std::string(name);
  if (out.back() != '/') out.push_back('/');
  out.append(name);
  return out;
}

}  // namespace webhoard
