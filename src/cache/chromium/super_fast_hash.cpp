#include "cache/chromium/super_fast_hash.h"

namespace webhoard {
namespace {

std::uint32_t Get16(const char* p) {
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[0])) |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(p[1])) << 8;
}

// The lone last byte enters as a signed char, as the caches' writer took it;
// it matters only for keys with bytes over 0x7f.
std::uint32_t SignedByte(char c) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(c)));
}

}  // namespace

std::uint32_t SuperFastHash(std::string_view bytes) {
  if (bytes.empty()) return 0;
  auto hash = static_cast<std::uint32_t>(bytes.size());
  const char* p = bytes.data();
  for (std::size_t pairs = bytes.size() / 4; pairs > 0; --pairs, p += 4) {
    hash += Get16(p);
    const std::uint32_t tmp = (Get16(p + 2) << 11) ^ hash;
    hash = (hash << 16) ^ tmp;
    hash += hash >> 11;
  }
  switch (bytes.size() % 4) {
    case 3:
      hash += Get16(p);
      hash ^= hash << 16;
      hash ^= SignedByte(p[2]) << 18;
      hash += hash >> 11;
      break;
    case 2:
      hash += Get16(p);
      hash ^= hash << 11;
      hash += hash >> 17;
      break;
    case 1:
      hash += SignedByte(p[0]);
      hash ^= hash << 10;
      hash += hash >> 1;
      break;
  }
  hash ^= hash << 3;
  hash += hash >> 5;
  hash ^= hash << 4;
  hash += hash >> 17;
  hash ^= hash << 25;
  hash += hash >> 6;
  return hash;
}

}  // namespace webhoard
