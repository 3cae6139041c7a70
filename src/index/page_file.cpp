#include "index/page_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace webhoard {

void WritePageFile(const std::string& path, std::string_view contents) {
  const std::string temp = path + ".tmp";
  std::FILE* file = std::fopen(temp.c_str(), "wb");
  if (file == nullptr) {
    throw IndexPageError("cannot create " + temp + ": " + std::strerror(errno));
  }
  const bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
  const int write_error = errno;
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    const int error = written ? errno : write_error;
    std::remove(temp.c_str());
    throw IndexPageError("cannot write " + temp + ": " + std::strerror(error));
  }
  std::error_code code;
  std::filesystem::rename(temp, path, code);
  if (code) {
    std::remove(temp.c_str());
    throw IndexPageError("cannot replace " + path + ": " + code.message());
  }
}

void PageFile::Commit() const {
  WritePageFile(path_, text_);
}

}  // namespace webhoard
