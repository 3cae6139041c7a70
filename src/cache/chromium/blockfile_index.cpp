#include "cache/chromium/blockfile_index.h"

#include <cerrno>
#include <memory>

#include "common/file_util.h"
#include "common/little_endian.h"
#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::uint32_t kIndexMagic = 0xC103CAC3u;
constexpr std::size_t kIndexHeaderSize = 368;
// Browsers use 0x10000 to 0x80000 buckets; far more is a damaged header,
// and reading its table would cost memory for nothing.
constexpr std::uint32_t kMaxTableLength = 1u << 24;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<BlockfileIndex> ReadBlockfileIndex(const std::string& path,
                                                 std::vector<std::string>& notes) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenRegularFile(path));
  if (!file) {
    notes.push_back("The cache's index cannot be read: " + ErrnoText(errno) + ".");
    return std::nullopt;
  }
  std::string header(kIndexHeaderSize, '\0');
  const Bytes bytes(reinterpret_cast<const std::uint8_t*>(header.data()), header.size());
  if (std::fread(header.data(), 1, header.size(), file.get()) != header.size() ||
      ReadU32(bytes, 0) != kIndexMagic) {
    notes.push_back("The cache's index is no blockfile index.");
    return std::nullopt;
  }
  BlockfileIndex index;
  index.version = *ReadU32(bytes, 4);
  if (index.version >> 16 != 2 && index.version >> 16 != 3) {
    notes.push_back("The cache's index has an unknown version.");
    return std::nullopt;
  }
  index.entry_count = *ReadU32(bytes, 8);
  index.table_length = *ReadU32(bytes, 28);
  if (index.table_length == 0) index.table_length = 0x10000;
  if (index.table_length > kMaxTableLength) {
    notes.push_back("The cache's index declares too many buckets; it is damaged.");
    return std::nullopt;
  }
  std::string table(std::size_t{index.table_length} * 4, '\0');
  const std::size_t got = std::fread(table.data(), 1, table.size(), file.get());
  if (got < table.size()) {
    notes.push_back("The cache's index is cut short: only " + std::to_string(got / 4) + " of " +
                    std::to_string(index.table_length) + " buckets are there.");
  }
  index.table.resize(got / 4);
  for (std::size_t i = 0; i < index.table.size(); ++i) {
    index.table[i] =
        LoadLE<std::uint32_t>(reinterpret_cast<const std::uint8_t*>(table.data()) + 4 * i);
  }
  return index;
}

}  // namespace webhoard
