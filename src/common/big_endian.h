// Big-endian integers (the byte order of Firefox's cache metadata), the
// counterpart of little_endian.h. Callers check ranges first with FitsIn.
#pragma once

#include <cstdint>
#include <string>

namespace webhoard {

template <typename T>
T LoadBE(const std::uint8_t* p) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value = (value << 8) | p[i];
  return static_cast<T>(value);
}

template <typename T>
void AppendBE(std::string& out, T value) {
  auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = sizeof(T); i-- > 0;) out.push_back(static_cast<char>(v >> (8 * i)));
}

}  // namespace webhoard
