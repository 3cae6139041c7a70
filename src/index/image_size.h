// The pixel size of an archived image, read from its header without
// decoding the picture, and the size at which the thumbnail page shows it.
//
// Two formats are known:
//   GIF   bytes 0-2 "GIF" (the version bytes 3-5 are not looked at),
//         bytes 6-7 width and 8-9 height, little-endian (logical screen).
//   JFIF  bytes 0-3 FF D8 FF E0 (start of image, APP0), 4-5 the big-endian
//         APP0 length (counted from the length field), 6-10 "JFIF\0". Then a
//         walk over the segments: each begins FF <marker> <length:2 BE>; a
//         start-of-frame marker (C0-C3, C5-CB, CD-CF) carries at offsets 5-6
//         the height and 7-8 the width, big-endian.
// Only 11 bytes at the start and 11 bytes at each segment start are read.
// A JPEG whose first segment is not APP0 "JFIF" (camera files begin with
// APP1) is not recognised, and neither is any other format.
//
// Damaged files fail, never loop: every step of the walk moves forward by at
// least one byte past the 11 it read, and it stops at the first short read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace webhoard {

struct ImageDimensions {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The size of the GIF or JFIF file at `path`. Fails (false, both 0) for a
// missing or unreadable file, a file shorter than 11 bytes, another format,
// or a JPEG whose frame header is not found.
bool GetImageSize(const std::string& path, std::int32_t& width, std::int32_t& height);

// The same over bytes in memory (tests and the fuzz target).
bool GetImageSizeOfBytes(const std::uint8_t* data, std::size_t size, ImageDimensions& size_out);

// The display size of a picture of `full` pixels: pictures above 5000
// pixels are scaled to an area of about 5000 with their aspect kept, then
// the longer side is held to 150 pixels. Smaller pictures are never enlarged.
ImageDimensions ThumbnailOf(ImageDimensions full);

// GetImageSize, then ThumbnailOf. On failure the thumbnail outputs are left
// as they were; the full size is what GetImageSize left (0 x 0).
bool GetThumbnailSize(const std::string& path, std::int32_t& thumb_width,
                      std::int32_t& thumb_height, std::int32_t& full_width,
                      std::int32_t& full_height);

}  // namespace webhoard
