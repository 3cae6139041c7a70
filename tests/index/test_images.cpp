#include "test_images.h"

namespace webhoard::testing {
namespace {

void AppendLE16(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void AppendBE16(std::string& out, int value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

// Packs codes of `bits` bits, least significant bit first, as GIF wants.
class BitWriter {
 public:
  void Put(unsigned code, int bits) {
    for (int i = 0; i < bits; ++i) {
      if (used_ == 0) bytes_.push_back(0);
      if ((code >> i) & 1u) bytes_.back() = static_cast<char>(bytes_.back() | (1 << used_));
      used_ = (used_ + 1) % 8;
    }
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
  int used_ = 0;
};

}  // namespace

std::string MakeGif(int width, int height, std::string_view version) {
  std::string gif = "GIF";
  gif += version;
  AppendLE16(gif, width);
  AppendLE16(gif, height);
  gif += static_cast<char>(0x81);  // global colour table of 4 entries
  gif += '\0';                     // background colour
  gif += '\0';                     // aspect
  gif += std::string("\xFF\xFF\xFF\x20\x60\xC0\xE0\x90\x30\x10\x10\x10", 12);
  gif += ',';  // image descriptor
  AppendLE16(gif, 0);
  AppendLE16(gif, 0);
  AppendLE16(gif, width);
  AppendLE16(gif, height);
  gif += '\0';
  gif += '\x02';  // minimum code size: 2 bits (codes 0-3, clear 4, end 5)
  BitWriter bits;
  const long pixels = static_cast<long>(width) * height;
  for (long i = 0; i < pixels; ++i) {
    if (i % 2 == 0) bits.Put(4, 3);
    const long x = i % width, y = i / width;
    bits.Put(static_cast<unsigned>(((x / 8) + (y / 8)) % 2 == 0 ? 1 + (y * 3 / height) % 3 : 0), 3);
  }
  bits.Put(5, 3);
  const std::string& data = bits.bytes();
  for (std::size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += '\0';
  gif += ';';
  return gif;
}

std::string JpegSegment(std::uint8_t marker, const std::string& payload) {
  std::string segment = "\xFF";
  segment += static_cast<char>(marker);
  AppendBE16(segment, static_cast<int>(payload.size()) + 2);
  return segment + payload;
}

std::string FramePayload(int width, int height) {
  std::string payload = "\x08";
  AppendBE16(payload, height);
  AppendBE16(payload, width);
  payload += std::string("\x01\x01\x11\x00", 4);
  return payload;
}

std::string MakeJfif(const std::vector<std::string>& segments) {
  std::string jpeg = "\xFF\xD8";
  jpeg += JpegSegment(0xE0, std::string("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14));
  for (const std::string& segment : segments) jpeg += segment;
  jpeg += "\xFF\xD9";
  return jpeg;
}

std::string MakeJfifOfSize(int width, int height, std::uint8_t frame_marker) {
  return MakeJfif({JpegSegment(0xDB, std::string(65, '\x01')),
                   JpegSegment(0xC4, std::string(30, '\x00')),
                   JpegSegment(frame_marker, FramePayload(width, height))});
}

}  // namespace webhoard::testing
