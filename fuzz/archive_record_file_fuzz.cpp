// Fuzz target for the catalogue record reader over a file: the input is
// written to a file and read record by record through the 32 KiB read-ahead,
// which must agree with reading the same bytes from memory.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "archive/archive_record.h"
#include "cache/buffered_file_stream.h"
#include "common/little_endian.h"

namespace {

// One file per process, so parallel fuzzing jobs do not share it.
const std::string& InputPath() {
  static const std::string path = [] {
    std::random_device random;
    return (std::filesystem::temp_directory_path() /
            ("webhoard_archive_record_fuzz_" + std::to_string(random()) + ".dat"))
        .string();
  }();
  return path;
}

bool WriteInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

bool SameItem(const webhoard::TCacheItem& a, const webhoard::TCacheItem& b) {
  return a.MimeIndex == b.MimeIndex && a.Category == b.Category &&
         webhoard::BitsFromDouble(a.Date) == webhoard::BitsFromDouble(b.Date) && a.URL == b.URL &&
         a.Title == b.Title && a.ArchiveName == b.ArchiveName;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  if (!WriteInput(data, size)) return 0;

  // Read through the file's read-ahead, the bytes must give exactly what the
  // same bytes give in memory: the same records and the same damage.
  const ArchiveRecordParse in_memory =
      ParseArchiveRecords(std::string_view(reinterpret_cast<const char*>(data), size));
  std::size_t read = 0;
  {
    TSimpleBufferFileStream stream(InputPath(), FileOpenMode::kReadOnly);
    ArchiveRecordReader reader(stream);
    for (;;) {
      TCacheItem item;
      const RecordReadResult result = reader.ReadFromStream(item);
      if (result != RecordReadResult::kRecord) {
        if ((result == RecordReadResult::kDamaged) == in_memory.damage.empty()) std::abort();
        break;
      }
      if (read >= in_memory.items.size() || !SameItem(item, *in_memory.items[read])) std::abort();
      ++read;
    }
    if (reader.damage() != in_memory.damage || reader.offset() != in_memory.consumed) std::abort();
  }
  if (read != in_memory.items.size()) std::abort();
  std::remove(InputPath().c_str());
  return 0;
}
