#include "cache/firefox/lookup2.h"

#include <cstddef>

namespace webhoard {
namespace {

// Subtracts y and z from x, then mixes in z shifted right or left.
void MixRight(std::uint32_t& x, std::uint32_t y, std::uint32_t z, int bits) {
  x -= y;
  x -= z;
  x ^= z >> bits;
}

void MixLeft(std::uint32_t& x, std::uint32_t y, std::uint32_t z, int bits) {
  x -= y;
  x -= z;
  x ^= z << bits;
}

void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c) {
  MixRight(a, b, c, 13);
  MixLeft(b, c, a, 8);
  MixRight(c, a, b, 13);
  MixRight(a, b, c, 12);
  MixLeft(b, c, a, 16);
  MixRight(c, a, b, 5);
  MixRight(a, b, c, 3);
  MixLeft(b, c, a, 10);
  MixRight(c, a, b, 15);
}

std::uint32_t Byte(std::string_view data, std::size_t i) {
  return static_cast<std::uint8_t>(data[i]);
}

// Four bytes from `i` on, the first one lowest.
std::uint32_t Word(std::string_view data, std::size_t i) {
  return Byte(data, i) | Byte(data, i + 1) << 8 | Byte(data, i + 2) << 16 | Byte(data, i + 3) << 24;
}

}  // namespace

std::uint32_t Lookup2Hash(std::string_view data, std::uint32_t initval) {
  std::uint32_t a = 0x9e3779b9u;
  std::uint32_t b = 0x9e3779b9u;
  std::uint32_t c = initval;
  std::size_t i = 0;
  for (; data.size() - i >= 12; i += 12) {
    a += Word(data, i);
    b += Word(data, i + 4);
    c += Word(data, i + 8);
    Mix(a, b, c);
  }
  c += static_cast<std::uint32_t>(data.size());
  // The last 0..11 bytes: into a, then b, then c above its lowest byte
  // (which the length took).
  for (std::size_t j = 0; i + j < data.size(); ++j) {
    const std::uint32_t byte = Byte(data, i + j);
    if (j < 4) {
      a += byte << (8 * j);
    } else if (j < 8) {
      b += byte << (8 * (j - 4));
    } else {
      c += byte << (8 * (j - 7));
    }
  }
  Mix(a, b, c);
  return c;
}

}  // namespace webhoard
