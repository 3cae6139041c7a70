#include "sample_media.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace webhoard::samples {
namespace {

void AppendBE16(std::string& out, unsigned value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void AppendBE32(std::string& out, std::uint32_t value) {
  AppendBE16(out, value >> 16);
  AppendBE16(out, value & 0xFFFF);
}

void AppendLE16(std::string& out, int value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

// Writes bits most significant first, with the 0x00 stuffed after every 0xFF
// byte that JPEG entropy-coded data asks for.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(std::uint32_t bits, int count) {
    for (int i = count - 1; i >= 0; --i) {
      current_ = static_cast<std::uint8_t>((current_ << 1) | ((bits >> i) & 1));
      if (++filled_ == 8) Flush();
    }
  }
  // Pads the last byte with one bits.
  void Finish() {
    while (filled_ != 0) Put(1, 1);
  }

 private:
  void Flush() {
    out_ += static_cast<char>(current_);
    if (current_ == 0xFF) out_ += '\0';
    current_ = 0;
    filled_ = 0;
  }
  std::string& out_;
  std::uint8_t current_ = 0;
  int filled_ = 0;
};

void Segment(std::string& out, std::uint8_t marker, const std::string& payload) {
  out += '\xFF';
  out += static_cast<char>(marker);
  AppendBE16(out, static_cast<unsigned>(payload.size() + 2));
  out += payload;
}

}  // namespace

std::string MakeBandedGif(int width, int height, const Rgb* colours, int colour_count) {
  colour_count = std::clamp(colour_count, 1, 128);
  std::string out = "GIF89a";
  AppendLE16(out, width);
  AppendLE16(out, height);
  out += '\xF6';  // global table of 128 entries, 7 bits of colour resolution
  out += '\0';    // background colour
  out += '\0';    // no aspect ratio
  for (int i = 0; i < 128; ++i) {
    const Rgb c = colours[std::min(i, colour_count - 1)];
    out += static_cast<char>(c.r);
    out += static_cast<char>(c.g);
    out += static_cast<char>(c.b);
  }
  out += ',';  // image descriptor covering the whole picture
  AppendLE16(out, 0);
  AppendLE16(out, 0);
  AppendLE16(out, width);
  AppendLE16(out, height);
  out += '\0';

  // Minimum code size 7: the clear code is 128, the end code 129, and codes
  // stay 8 bits wide while fewer than 126 entries were added since a clear.
  constexpr std::uint8_t kClear = 128, kEnd = 129;
  std::string codes;
  int since_clear = 0;
  codes += static_cast<char>(kClear);
  for (int y = 0; y < height; ++y) {
    const int band = y * colour_count / std::max(height, 1);
    for (int x = 0; x < width; ++x) {
      if (since_clear == 100) {
        codes += static_cast<char>(kClear);
        since_clear = 0;
      }
      codes += static_cast<char>(band);
      ++since_clear;
    }
  }
  codes += static_cast<char>(kEnd);
  out += '\x07';
  for (std::size_t at = 0; at < codes.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, codes.size() - at);
    out += static_cast<char>(n);
    out.append(codes, at, n);
  }
  out += '\0';  // end of the image data
  out += ';';
  return out;
}

std::string MakeGradientJfif(int width, int height) {
  const int blocks_x = std::max(1, (width + 7) / 8);
  const int blocks_y = std::max(1, (height + 7) / 8);
  std::string out = "\xFF\xD8";
  Segment(out, 0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));

  // Every quantiser 16: a quantised DC value d gives the block 128 + 2d.
  Segment(out, 0xDB, std::string(1, '\0') + std::string(64, '\x10'));
  std::string frame = "\x08";
  AppendBE16(frame, static_cast<unsigned>(blocks_y * 8));
  AppendBE16(frame, static_cast<unsigned>(blocks_x * 8));
  frame += std::string("\x01\x01\x11\x00", 4);
  Segment(out, 0xC0, frame);

  // DC table: the usual luminance table (categories 0 to 11). AC table: one
  // code "0" for end-of-block, so every block is flat.
  const std::uint8_t dc_counts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
  std::string dht(1, '\x00');
  for (std::uint8_t n : dc_counts) dht += static_cast<char>(n);
  for (int symbol = 0; symbol < 12; ++symbol) dht += static_cast<char>(symbol);
  dht += '\x10';
  dht += '\x01';
  dht += std::string(15, '\0');
  dht += '\0';
  Segment(out, 0xC4, dht);
  Segment(out, 0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));

  // Codes of the DC categories under the table above.
  const std::uint32_t dc_code[12] = {0b00,   0b010,   0b011,    0b100,     0b101,      0b110,
                                     0b1110, 0b11110, 0b111110, 0b1111110, 0b11111110, 0b111111110};
  const int dc_length[12] = {2, 3, 3, 3, 3, 3, 4, 5, 6, 7, 8, 9};
  BitWriter bits(out);
  int previous = 0;
  for (int by = 0; by < blocks_y; ++by) {
    for (int bx = 0; bx < blocks_x; ++bx) {
      const int level = -50 + (100 * bx) / std::max(1, blocks_x - 1) - by;
      const int diff = level - previous;
      previous = level;
      int category = 0;
      for (int magnitude = diff < 0 ? -diff : diff; magnitude != 0; magnitude >>= 1) ++category;
      bits.Put(dc_code[category], dc_length[category]);
      if (category != 0) {
        const int extra = diff < 0 ? diff + (1 << category) - 1 : diff;
        bits.Put(static_cast<std::uint32_t>(extra), category);
      }
      bits.Put(0, 1);  // end of block
    }
  }
  bits.Finish();
  out += "\xFF\xD9";
  return out;
}

std::string MakeToneAu(int frequency, int milliseconds) {
  const int samples = 8000 * std::max(milliseconds, 0) / 1000;
  std::string out = ".snd";
  AppendBE32(out, 24);  // header size
  AppendBE32(out, static_cast<std::uint32_t>(samples));
  AppendBE32(out, 2);  // 8-bit linear
  AppendBE32(out, 8000);
  AppendBE32(out, 1);  // mono
  for (int i = 0; i < samples; ++i) {
    const double fade = 1.0 - static_cast<double>(i) / samples;
    const double value = 100.0 * fade * std::sin(2.0 * M_PI * frequency * i / 8000.0);
    out += static_cast<char>(static_cast<std::int8_t>(std::lround(value)));
  }
  return out;
}

std::string MakeTextPdf(const std::string& title, const std::string& lines) {
  std::string stream = "BT /F1 14 Tf 60 780 Td 18 TL (" + title + ") Tj T* T*\n/F1 11 Tf\n";
  std::size_t start = 0;
  while (start <= lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    std::string line;
    for (char c : lines.substr(start, end - start)) {
      if (c == '(' || c == ')' || c == '\\') line += '\\';
      line += c;
    }
    stream += "(" + line + ") Tj T*\n";
    start = end + 1;
  }
  stream += "ET\n";

  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
      "/Resources << /Font << /F1 5 0 R >> >> >>",
      "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "endstream",
      "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"};
  std::string out = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(out.size());
    out += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (std::size_t offset : offsets) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    out += entry;
  }
  out += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace webhoard::samples
