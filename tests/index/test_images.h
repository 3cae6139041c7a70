// Image files for the index tests: real GIF files that browsers decode, and
// JPEG headers built segment by segment.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace webhoard::testing {

// A complete GIF89a file of width x height pixels in a few colours, with
// uncompressed LZW data (a clear code before every second pixel keeps the
// code size at 3 bits), which every decoder reads.
std::string MakeGif(int width, int height, std::string_view version = "89a");

// One JPEG segment: FF marker, the big-endian length (payload + 2), payload.
std::string JpegSegment(std::uint8_t marker, const std::string& payload);

// A start-of-frame payload (precision 8, height, width, one component).
std::string FramePayload(int width, int height);

// SOI, a JFIF APP0, the given segments, then EOI. The picture data is not
// there: the size readers never look at it.
std::string MakeJfif(const std::vector<std::string>& segments);

// MakeJfif with a baseline frame header of the given size after a DQT and a
// DHT segment.
std::string MakeJfifOfSize(int width, int height, std::uint8_t frame_marker = 0xC0);

}  // namespace webhoard::testing
