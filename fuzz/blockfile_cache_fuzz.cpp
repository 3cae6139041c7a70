// A blockfile cache folder (index, data_0..data_3, f_ files) read after the
// input has changed it. The folder starts sound (blockfile_writer.h: a
// chain of entries with inline, spilled and long keys, streams in blocks
// and in f_ files, a sparse child) and the input says what to change:
//   - first byte below 0x80: a list of 4-byte changes, each (file, offset
//     low, offset high, byte): byte XOR-ed into file (index 0..5 of the
//     folder's files) at offset modulo its size; such small changes reach
//     the chain walk and the record checks far more often than random files;
//   - first byte 0x80 and above: the rest of the input replaces file
//     (first byte % 6) whole, cut short or random.
// Every body place handed on must lie inside its file, inside the folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "../tests/support/blockfile_writer.h"
#include "cache/chromium/blockfile_reader.h"
#include "common/file_util.h"
#include "fuzz_files.h"

namespace {

constexpr const char* kName = "blockfile_cache_fuzz";

webhoard::testing::BlockfileImage SoundImage() {
  using webhoard::testing::BlockfileEntryToWrite;
  webhoard::testing::BlockfileImage image(4);
  image.Add({"http://a/", "HTTP/1.1 200 OK", "a body"});
  image.Add({"http://b/" + std::string(400, 'b'), std::string(1500, 'h'), std::string(5000, 'x')});
  BlockfileEntryToWrite separate{"http://c/", "HTTP/1.1 200 OK", "c body"};
  separate.body_in_separate_file = true;
  separate.long_key = true;
  image.Add(separate);
  BlockfileEntryToWrite child{"Range_http://c/:1:0", "", "range"};
  child.flags = 2;
  child.dirty = 1;
  image.Add(child);
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  static const testing::BlockfileImage sound = SoundImage();
  testing::BlockfileImage image = sound;
  std::vector<std::string*> files;
  for (auto& [name, bytes] : image.files) files.push_back(&bytes);
  if (size > 0 && data[0] >= 0x80) {
    files[data[0] % files.size()]->assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  } else {
    for (std::size_t i = 1; i + 4 <= size; i += 4) {
      std::string& file = *files[data[i] % files.size()];
      if (file.empty()) continue;
      file[(data[i + 1] | std::size_t{data[i + 2]} << 8) % file.size()] ^=
          static_cast<char>(data[i + 3]);
    }
  }
  const std::string folder = fuzz_files::FreshFolder("cache");
  image.WriteTo(folder);

  std::vector<std::string> notes;
  std::size_t entries = 0;
  ReadBlockfileCache(
      folder,
      [&](ChromiumEntry&& entry) {
        ++entries;
        if (!entry.body) return;
        fuzz_files::Check(fuzz_files::IsInside(entry.body->file, folder), kName,
                          "a body lies outside the cache folder");
        const auto file_size = FileSize(entry.body->file);
        fuzz_files::Check(file_size && entry.body->offset + entry.body->length <= *file_size, kName,
                          "a body lies past the end of its file");
      },
      notes);
  // Each entry is handed on once: no more entries than blocks in data_1.
  fuzz_files::Check(entries <= 64, kName, "more entries than records");
  return 0;
}
