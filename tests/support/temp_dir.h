// A fresh temporary folder for one test, removed with everything in it.
#pragma once

#include <string>
#include <string_view>

namespace webhoard::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing "/".
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string File(std::string_view name) const;
  // Writes a file below the folder (creating sub-folders) and answers its path.
  std::string Write(std::string_view name, std::string_view contents) const;

 private:
  std::string path_;
};

}  // namespace webhoard::testing
