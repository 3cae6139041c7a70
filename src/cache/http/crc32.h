// The CRC-32 of zlib (and of PNG, gzip, Ethernet): the checksum browser
// caches keep of what they store.
#pragma once

#include <cstdint>
#include <string_view>

namespace webhoard {

// The CRC-32 of `bytes`, continuing from `crc` (0 to start), so a long
// stream can be checked in pieces: Crc32(b, Crc32(a)) == Crc32(a + b).
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

}  // namespace webhoard
