// Removing a benchmark's generated files when the program ends.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace webhoard::bench {

// Removes `folder` and everything in it at exit. The paths are kept here, in
// storage that is never destroyed: a handler registered while a function's
// static is being made runs after that static is gone, so it must not read
// the caller's own copy.
inline void RemoveAtExit(const std::string& folder) {
  static auto* const folders = new std::vector<std::string>;
  if (folders->empty()) {
    std::atexit([] {
      for (const std::string& path : *folders) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
      }
    });
  }
  folders->push_back(folder);
}

}  // namespace webhoard::bench
