// Bob Jenkins' "lookup2" hash, which Firefox's disk cache keeps over each
// entry's metadata (and, cut to 16 bits, over each 256 KiB chunk of data).
#pragma once

#include <cstdint>
#include <string_view>

namespace webhoard {

// The hash of `data` with the given starting value (the cache uses 0).
// Bytes are taken as unsigned and gathered little-endian, whatever the
// machine.
std::uint32_t Lookup2Hash(std::string_view data, std::uint32_t initval = 0);

}  // namespace webhoard
