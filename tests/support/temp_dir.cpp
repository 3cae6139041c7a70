#include "support/temp_dir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace webhoard::testing {

// A folder of a random name that did not exist before (TMPDIR or /tmp on
// POSIX, the user's temporary folder on Windows).
TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "webhoard-test-%012llx",
                  static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
    const std::filesystem::path folder = base / name;
    std::error_code ec;
    if (std::filesystem::create_directory(folder, ec)) {
      std::filesystem::permissions(folder, std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::replace, ec);
      path_ = folder.string();
      return;
    }
    if (ec)
      throw std::runtime_error("cannot create a folder in " + base.string() + ": " + ec.message());
  }
  throw std::runtime_error("no free temporary folder name in " + base.string());
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

std::string TempDir::Write(std::string_view name, std::string_view contents) const {
  const std::string target = File(name);
  std::filesystem::create_directories(std::filesystem::path(target).parent_path());
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  if (!out) throw std::runtime_error("cannot write " + target);
  return target;
}

}  // namespace webhoard::testing
