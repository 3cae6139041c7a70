// Decodes every icon shipped in images/ with a small GIF reader of its own
// (written from the GIF89a layout, independent of the generator) and checks
// what the index pages rely on: a GIF a browser can show, in the size the
// pages give it, and type buttons whose three forms look different.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/file_util.h"
#include "index/index_icons.h"

namespace webhoard {
namespace {

struct Rgb {
  std::uint8_t r, g, b;
};

struct DecodedGif {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;
  std::optional<int> transparent;
  std::vector<std::uint8_t> pixels;  // width * height colour indices
};

class Reader {
 public:
  explicit Reader(const std::string& bytes) : bytes_(bytes) {}
  bool Has(std::size_t n) const { return bytes_.size() - pos_ >= n; }
  std::uint8_t Byte() {
    if (!Has(1)) throw std::runtime_error("truncated at " + std::to_string(pos_));
    return static_cast<std::uint8_t>(bytes_[pos_++]);
  }
  int U16() {
    const int low = Byte();
    return low | (Byte() << 8);
  }
  std::string Take(std::size_t n) {
    if (!Has(n)) throw std::runtime_error("truncated at " + std::to_string(pos_));
    std::string part = bytes_.substr(pos_, n);
    pos_ += n;
    return part;
  }
  // The data sub-blocks up to the zero-length terminator, joined.
  std::string SubBlocks() {
    std::string data;
    for (std::uint8_t n = Byte(); n != 0; n = Byte()) data += Take(n);
    return data;
  }

 private:
  const std::string& bytes_;
  std::size_t pos_ = 0;
};

std::vector<Rgb> ColourTable(Reader& in, int exponent) {
  std::vector<Rgb> table(std::size_t{1} << exponent);
  for (Rgb& c : table) c = {in.Byte(), in.Byte(), in.Byte()};
  return table;
}

// Variable-width LZW, codes packed least significant bit first.
std::vector<std::uint8_t> DecodeLzw(const std::string& data, int min_size, std::size_t expected) {
  if (min_size < 2 || min_size > 8) throw std::runtime_error("bad LZW code size");
  const int clear = 1 << min_size;
  const int end = clear + 1;
  constexpr std::size_t kCodes = 4096;
  // Entry n is the string of entry prefix[n] followed by suffix[n].
  std::vector<int> prefix(kCodes, -1), length(kCodes, 1);
  std::vector<std::uint8_t> suffix(kCodes, 0), first(kCodes, 0);
  for (int i = 0; i < clear; ++i) {
    suffix[static_cast<std::size_t>(i)] = first[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(i);
  }
  std::vector<std::uint8_t> out;
  const auto emit = [&](int code) {
    std::size_t i = out.size() + static_cast<std::size_t>(length[static_cast<std::size_t>(code)]);
    if (i > expected) throw std::runtime_error("more pixels than the image holds");
    out.resize(i);
    for (int c = code; c >= 0; c = prefix[static_cast<std::size_t>(c)]) {
      out[--i] = suffix[static_cast<std::size_t>(c)];
    }
  };
  int width = min_size + 1;
  int next = end + 1;
  int previous = -1;
  std::size_t bit = 0;
  for (;;) {
    if (bit + static_cast<std::size_t>(width) > data.size() * 8) {
      throw std::runtime_error("code stream ends without an end code");
    }
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) {
      code |= ((static_cast<unsigned char>(data[bit / 8]) >> (bit % 8)) & 1) << i;
    }
    if (code == clear) {
      width = min_size + 1;
      next = end + 1;
      previous = -1;
      continue;
    }
    if (code == end) return out;
    if (previous < 0) {
      if (code >= clear) throw std::runtime_error("first code is no colour");
    } else {
      if (code > next) throw std::runtime_error("code beyond the table");
      if (next < static_cast<int>(kCodes)) {
        const auto n = static_cast<std::size_t>(next);
        const auto p = static_cast<std::size_t>(previous);
        prefix[n] = previous;
        suffix[n] = code < next ? first[static_cast<std::size_t>(code)] : first[p];
        first[n] = first[p];
        length[n] = length[p] + 1;
        ++next;
        if (next == (1 << width) && width < 12) ++width;
      }
    }
    emit(code);
    previous = code;
  }
}

DecodedGif DecodeGif(const std::string& bytes) {
  Reader in(bytes);
  const std::string signature = in.Take(6);
  if (signature != "GIF89a" && signature != "GIF87a") throw std::runtime_error("no GIF");
  DecodedGif gif;
  gif.width = in.U16();
  gif.height = in.U16();
  const std::uint8_t flags = in.Byte();
  in.Byte();  // background colour
  in.Byte();  // aspect ratio
  if (flags & 0x80) gif.palette = ColourTable(in, (flags & 7) + 1);
  bool have_image = false;
  for (;;) {
    const std::uint8_t block = in.Byte();
    if (block == 0x3B) break;
    if (block == 0x21) {
      const std::uint8_t label = in.Byte();
      const std::string body = in.SubBlocks();
      if (label == 0xF9 && body.size() == 4 && (body[0] & 1)) {
        gif.transparent = static_cast<unsigned char>(body[3]);
      }
    } else if (block == 0x2C) {
      if (have_image) throw std::runtime_error("more than one image");
      const int left = in.U16(), top = in.U16(), w = in.U16(), h = in.U16();
      const std::uint8_t image_flags = in.Byte();
      if (left != 0 || top != 0 || w != gif.width || h != gif.height) {
        throw std::runtime_error("image does not fill the screen");
      }
      if (image_flags & 0x80) gif.palette = ColourTable(in, (image_flags & 7) + 1);
      const int min_size = in.Byte();
      const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
      gif.pixels = DecodeLzw(in.SubBlocks(), min_size, count);
      if (gif.pixels.size() != count) throw std::runtime_error("too few pixels");
      have_image = true;
    } else {
      throw std::runtime_error("unknown block");
    }
  }
  if (!have_image) throw std::runtime_error("no image");
  for (const std::uint8_t p : gif.pixels) {
    if (p >= gif.palette.size()) throw std::runtime_error("pixel outside the palette");
  }
  return gif;
}

std::string ShippedIcon(std::string_view name) {
  const auto top = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  return (top / "images" / (std::string(name) + ".gif")).string();
}

// The sizes the index pages give the icons; the type buttons, the open folder
// and the not-found image, which the pages show at their own size, are drawn
// like the row icons.
std::pair<int, int> PageSize(std::string_view name) {
  if (name == "webhoard") return {250, 75};
  if (name == "tarnlogo") return {197, 74};
  if (name == "folder" || name == "lfolder" || name == "ftext" || name == "ltext") return {38, 18};
  return {20, 18};
}

DecodedGif LoadIcon(std::string_view name) {
  const auto bytes = ReadFileBytes(ShippedIcon(name));
  if (!bytes) throw std::runtime_error("missing " + ShippedIcon(name));
  return DecodeGif(*bytes);
}

TEST(IconArtwork, EveryIconIsACompleteGifOfThePageSize) {
  for (const std::string_view name : kIndexIconNames) {
    SCOPED_TRACE(std::string(name));
    DecodedGif gif;
    ASSERT_NO_THROW(gif = LoadIcon(name));
    EXPECT_EQ(std::make_pair(gif.width, gif.height), PageSize(name));
    // Transparent background, and something drawn on it.
    ASSERT_TRUE(gif.transparent.has_value());
    std::size_t drawn = 0;
    for (const std::uint8_t p : gif.pixels) drawn += p != *gif.transparent;
    EXPECT_GT(drawn, gif.pixels.size() / 8);
  }
}

TEST(IconArtwork, TypeButtonFormsAreEasyToTellApart) {
  for (const char* type : {"text", "image", "audio", "video", "other"}) {
    SCOPED_TRACE(type);
    const DecodedGif active = LoadIcon(std::string("u") + type);
    const DecodedGif current = LoadIcon(std::string("d") + type);
    const DecodedGif greyed = LoadIcon(std::string("g") + type);
    const auto colour_at = [](const DecodedGif& gif, std::size_t i) {
      const Rgb c = gif.palette[gif.pixels[i]];
      return std::make_tuple(gif.transparent == gif.pixels[i], c.r, c.g, c.b);
    };
    std::size_t active_vs_current = 0, active_vs_greyed = 0;
    for (std::size_t i = 0; i < active.pixels.size(); ++i) {
      active_vs_current += colour_at(active, i) != colour_at(current, i);
      active_vs_greyed += colour_at(active, i) != colour_at(greyed, i);
    }
    EXPECT_GT(active_vs_current, active.pixels.size() / 4);
    EXPECT_GT(active_vs_greyed, active.pixels.size() / 4);
    // The greyed form has no colour at all; the others do.
    bool greyed_has_colour = false, active_has_colour = false;
    for (std::size_t i = 0; i < greyed.pixels.size(); ++i) {
      const Rgb g = greyed.palette[greyed.pixels[i]];
      const Rgb a = active.palette[active.pixels[i]];
      greyed_has_colour |= greyed.transparent != greyed.pixels[i] && (g.r != g.g || g.g != g.b);
      active_has_colour |= a.r != a.g || a.g != a.b;
    }
    EXPECT_FALSE(greyed_has_colour);
    EXPECT_TRUE(active_has_colour);
  }
}

}  // namespace
}  // namespace webhoard
