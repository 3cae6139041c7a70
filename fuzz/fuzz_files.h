// Small file helpers shared by the fuzz targets that read real folders: one
// scratch folder per process (parallel fuzzing jobs never share one), files
// written whole, and the check that a path lies inside a folder once every
// link and ".." is resolved.
#pragma once

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace fuzz_files {

namespace fs = std::filesystem;

inline void Check(bool condition, const char* target, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    std::abort();
  }
}

// The process's scratch folder, removed when the process ends.
struct ScratchFolder {
  ScratchFolder() {
    std::random_device random;
    path = fs::temp_directory_path() / ("webhoard_fuzz_" + std::to_string(random()));
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
  fs::path path;
};

// A fresh, empty folder under the process's scratch folder.
inline std::string FreshFolder(std::string_view name) {
  static const ScratchFolder root;
  const fs::path folder = root.path / std::string(name);
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder, ec);
  return folder.string();
}

inline bool WriteFile(const std::string& path, std::string_view bytes) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

// True when `path` names something inside `folder` after resolving links.
inline bool IsInside(const std::string& path, const std::string& folder) {
  std::error_code ec;
  const fs::path inner = fs::weakly_canonical(path, ec);
  if (ec) return false;
  const fs::path outer = fs::weakly_canonical(folder, ec);
  if (ec) return false;
  const auto [end, unused] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
  return end == outer.end() && inner != outer;
}

}  // namespace fuzz_files
