// The 32-bit hash Chromium's disk caches keep of every entry key (Paul
// Hsieh's SuperFastHash): in a Simple Cache entry's header and in a
// blockfile entry record. A key whose stored hash differs was damaged.
#pragma once

#include <cstdint>
#include <string_view>

namespace webhoard {

std::uint32_t SuperFastHash(std::string_view bytes);

}  // namespace webhoard
