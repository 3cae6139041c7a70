// Small, genuine media files for the bundled sample caches: GIF and JFIF
// pictures any browser shows, an 8-bit Sun/NeXT sound and a one-page PDF.
// Each maker writes the whole file in memory; nothing here reads input.
#pragma once

#include <cstdint>
#include <string>

namespace webhoard::samples {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

// A picture of horizontal bands in the given colours (at most 128), as a
// GIF89a whose image data keeps every code 8 bits wide (a clear code before
// the table would grow), so it needs no compressor.
std::string MakeBandedGif(int width, int height, const Rgb* colours, int colour_count);

// A baseline grey-scale JFIF whose brightness rises from left to right, one
// step per 8x8 block; width and height are rounded up to whole blocks.
std::string MakeGradientJfif(int width, int height);

// A sound of `milliseconds` at 8,000 samples per second: a tone of
// `frequency` Hz fading out, as an .au file of 8-bit linear samples.
std::string MakeToneAu(int frequency, int milliseconds);

// A one-page PDF showing `lines` (one per line, plain ASCII), with a correct
// cross-reference table.
std::string MakeTextPdf(const std::string& title, const std::string& lines);

}  // namespace webhoard::samples
