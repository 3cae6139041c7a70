// Fuzz target for the item record reader: the input is taken as a catalogue
// file and read record by record until the reader answers "at end". Every
// record read is written back and read again, which must give the same item.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cache/buffered_file_stream.h"
#include "cache/cache_item.h"
#include "cache/memory_stream.h"
#include "common/little_endian.h"

namespace {

// One file per process, so parallel fuzzing jobs do not share it.
const std::string& InputPath() {
  static const std::string path = [] {
    std::random_device random;
    return (std::filesystem::temp_directory_path() /
            ("webhoard_cache_item_fuzz_" + std::to_string(random()) + ".dat"))
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

  TExtendedMemoryStream rewritten;
  std::vector<TCacheItem> records;
  {
    TSimpleBufferFileStream stream(InputPath(), FileOpenMode::kReadOnly);
    for (;;) {
      TCacheItem item;
      if (item.ReadFromStream(stream)) break;
      // A record never claims more bytes than the input holds.
      if (28 + item.URL.size() + item.Title.size() + item.ArchiveName.size() > size) std::abort();
      item.WriteToStream(rewritten);
      records.push_back(std::move(item));
    }
  }

  // The rewritten records read back whole and alike, and end cleanly.
  const auto bytes = rewritten.Data();
  if (!WriteInput(bytes.data(), bytes.size())) return 0;
  TSimpleBufferFileStream again(InputPath(), FileOpenMode::kReadOnly);
  std::size_t reread = 0;
  for (;;) {
    TCacheItem item;
    const RecordReadResult result = item.ReadRecord(again);
    if (result == RecordReadResult::kDamaged) std::abort();
    if (result == RecordReadResult::kEnd) break;
    if (reread >= records.size() || !SameItem(item, records[reread])) std::abort();
    ++reread;
  }
  if (reread != records.size()) std::abort();
  std::remove(InputPath().c_str());
  return 0;
}
