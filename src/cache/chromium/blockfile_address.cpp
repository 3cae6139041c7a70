#include "cache/chromium/blockfile_address.h"

#include <cstdio>

namespace webhoard {

std::uint32_t BlockSizeOf(BlockType type) {
  switch (type) {
    case BlockType::kRankings:
      return 36;
    case BlockType::kBlock256:
      return 256;
    case BlockType::kBlock1K:
      return 1024;
    case BlockType::kBlock4K:
      return 4096;
    default:
      return 0;
  }
}

bool BlockAddress::IsUsable() const {
  if (!initialized()) return false;
  if (separate_file()) return true;
  // The 8-, 104- and 48-byte types belong to other caches than the HTTP one.
  if (BlockSize() == 0) return false;
  return (value_ & 0x0c000000u) == 0;
}

std::uint32_t BlockAddress::BlockSize() const {
  return BlockSizeOf(type());
}

std::string BlockFileName(std::uint32_t number) {
  return "data_" + std::to_string(number);
}

std::string BlockAddress::FileName() const {
  if (!separate_file()) return BlockFileName(file_number());
  char name[16];
  std::snprintf(name, sizeof name, "f_%06x", static_cast<unsigned>(file_number()));
  return name;
}

}  // namespace webhoard
