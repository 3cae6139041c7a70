// A small, sound URL cache index (index.dat) for the fuzz targets, and the
// way they turn an input into an index: an input of at least a header's size
// is a whole file; a shorter one is a list of (position, byte) changes to
// the sound index, which reaches the record and hash-table code far more
// often than random whole files do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/little_endian.h"
#include "platform/index_dat_format.h"

namespace fuzz_index_dat {

using namespace webhoard;
using namespace webhoard::index_dat;

inline void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(b.data() + at), v);
}

// A 32 KiB index: one hash page and two URL records of two blocks each.
inline std::string SoundIndex() {
  std::string b(0x8000, '\0');
  std::memcpy(b.data(), "Client UrlCache MMF Ver 5.2", 28);
  Put32(b, 0x1C, 0x8000);
  Put32(b, 0x20, 0x4000);
  Put32(b, 0x24, 0x80);
  Put32(b, 0x28, 36);
  Put32(b, 0x38, 300);
  Put32(b, 0x48, 2);
  Put32(b, 0x4C, 1);
  std::memcpy(b.data() + 0x50, "AAAAAAAA", 8);
  Put32(b, 0x58, 1);
  std::memcpy(b.data() + 0x5C, "BBBBBBBB", 8);
  for (int i = 0; i < 4; ++i) b[0x250 + static_cast<std::size_t>(i)] = '\xFF';
  b[0x254] = 0x0F;
  std::memcpy(b.data() + 0x4000, "HASH", 4);
  Put32(b, 0x4004, 32);
  for (std::uint32_t i = 0; i < 448; ++i) {
    Put32(b, 0x4010 + i * 8, 3);
    Put32(b, 0x4014 + i * 8, 3);
  }
  const char* urls[2] = {"http://a.example/one.html", "http://b.example/two.png"};
  for (std::uint32_t r = 0; r < 2; ++r) {
    const std::uint32_t at = 0x5000 + r * 0x100;
    std::memcpy(b.data() + at, "URL ", 4);
    Put32(b, at + 0x04, 2);
    Put32(b, at + 0x20, 150);
    Put32(b, at + 0x34, 0x68);
    b[at + 0x38] = static_cast<char>(r);
    Put32(b, at + 0x3C, 0x88);
    Put32(b, at + 0x40, 1);
    Put32(b, at + 0x44, 0x98);
    Put32(b, at + 0x48, 24);
    std::memcpy(b.data() + at + 0x68, urls[r], std::strlen(urls[r]) + 1);
    std::memcpy(b.data() + at + 0x88, "file.htm", 9);
    std::memcpy(b.data() + at + 0x98, "Content-Type: text/html\r\n", 24);
    Put32(b, 0x4010 + r * 56, (r + 1) << 6);
    Put32(b, 0x4014 + r * 56, at);
  }
  return b;
}

inline std::string IndexFromInput(const std::uint8_t* data, std::size_t size) {
  if (size >= kHeaderSize) return std::string(reinterpret_cast<const char*>(data), size);
  static const std::string kBase = SoundIndex();
  std::string file = kBase;
  for (std::size_t i = 0; i + 3 <= size; i += 3) {
    const std::size_t at = (data[i] | (std::size_t{data[i + 1]} << 8)) * 7 % file.size();
    file[at] = static_cast<char>(data[i + 2]);
  }
  if (size % 3 == 1) file.resize(file.size() - data[size - 1] * 97u % file.size());
  return file;
}

}  // namespace fuzz_index_dat
