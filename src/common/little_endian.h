// Little-endian integers read from and written to byte buffers. Binary
// formats are never read by casting structs: every reader goes through these
// helpers, which check the offset against the buffer first.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>

namespace webhoard {

using Bytes = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies inside a buffer of `size` bytes,
// without overflow whatever the inputs.
constexpr bool FitsIn(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
  return offset <= size && length <= size - offset;
}

template <typename T>
std::optional<T> ReadLE(Bytes bytes, std::uint64_t offset) {
  if (!FitsIn(bytes.size(), offset, sizeof(T))) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    value |= static_cast<std::uint64_t>(bytes[offset + i]) << (8 * i);
  }
  return static_cast<T>(value);
}

inline std::optional<std::uint16_t> ReadU16(Bytes b, std::uint64_t off) { return ReadLE<std::uint16_t>(b, off); }
inline std::optional<std::uint32_t> ReadU32(Bytes b, std::uint64_t off) { return ReadLE<std::uint32_t>(b, off); }
inline std::optional<std::int32_t> ReadI32(Bytes b, std::uint64_t off) { return ReadLE<std::int32_t>(b, off); }
inline std::optional<std::uint64_t> ReadU64(Bytes b, std::uint64_t off) { return ReadLE<std::uint64_t>(b, off); }

// Unchecked forms for callers that have already checked the range.
template <typename T>
T LoadLE(const std::uint8_t* p) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value |= static_cast<std::uint64_t>(p[i]) << (8 * i);
  return static_cast<T>(value);
}

template <typename T>
void StoreLE(std::uint8_t* p, T value) {
  auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <typename T>
void AppendLE(std::string& out, T value) {
  auto v = static_cast<std::uint64_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

inline double DoubleFromBits(std::uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

inline std::uint64_t BitsFromDouble(double d) {
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

}  // namespace webhoard
