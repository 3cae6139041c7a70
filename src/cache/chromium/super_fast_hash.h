// The 32-bit hash Chromium's disk cache keeps of keys and of its own
// records (Paul Hsieh's SuperFastHash, as Chromium's persistent hash
// computes it): the blockfile entry hash and self hashes, the Simple
// Cache's key hash. Checking it tells a sound record from a damaged or
// half-written one.
#pragma once

#include <cstdint>
#include <string_view>

namespace webhoard {

// The hash of `bytes`; 0 for none.
std::uint32_t SuperFastHash(std::string_view bytes);

}  // namespace webhoard
