#include "cache/http/crc32.h"

#include <zlib.h>

#include <algorithm>

namespace webhoard {

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc) {
  // zlib counts in uInt: long inputs go in pieces.
  constexpr std::size_t kPiece = 1u << 30;
  uLong value = crc;
  while (!bytes.empty()) {
    const std::size_t count = std::min(bytes.size(), kPiece);
    value = crc32(value, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(count));
    bytes.remove_prefix(count);
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace webhoard
