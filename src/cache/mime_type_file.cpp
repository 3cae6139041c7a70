#include "cache/mime_type_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "cache/mime_types.h"
#include "common/ascii.h"
#include "common/file_util.h"

namespace webhoard {
namespace {

// The last byte of a file, or EOF when it is empty or cannot be read.
int LastByte(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return EOF;
  int last = EOF;
  if (std::fseek(file, -1, SEEK_END) == 0) last = std::fgetc(file);
  std::fclose(file);
  return last;
}

}  // namespace

std::vector<std::string> ParseMimeTypeFile(std::string_view contents) {
  std::vector<std::string> types;
  bool header = true;
  while (!contents.empty()) {
    const auto end = contents.find('\n');
    std::string_view line = contents.substr(0, end);
    contents = end == std::string_view::npos ? std::string_view() : contents.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header) {
      header = false;
      continue;
    }
    types.push_back(CutAt(line, kShortTextLength));
  }
  return types;
}

std::string MimeTypeFileContents(const std::vector<std::string>& types) {
  std::string contents = std::string(kMimeTypeFileHeader) + "\r\n";
  for (const std::string& type : types) contents.append(type).append("\r\n");
  return contents;
}

bool AppendMimeTypeLine(const std::string& path, std::string_view type, std::string* error) {
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const auto size = FileSize(path);
  std::string bytes;
  if (!exists || (size && *size == 0)) {
    bytes.append(kMimeTypeFileHeader).append("\r\n");
  } else if (size) {
    const int last = LastByte(path);
    if (last == '\r') {
      bytes.append("\n");
    } else if (last != '\n') {
      bytes.append("\r\n");
    }
  }
  bytes.append(type).append("\r\n");
  errno = 0;
  if (AppendToFile(path, bytes)) return true;
  if (error != nullptr) {
    const int error_number = errno;
    *error = "cannot add the MIME type \"" + std::string(type) + "\" to " + path + ": " +
             (error_number != 0 ? ErrnoText(error_number) : std::string("write failed"));
  }
  return false;
}

}  // namespace webhoard
