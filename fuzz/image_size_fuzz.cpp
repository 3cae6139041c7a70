// Archived images and pages come from any web server. The size reader must
// answer for every byte sequence without reading outside it and without
// looping; a size it reports is two 16-bit numbers, and the thumbnail made
// from it is never larger than the picture nor wider than 150 pixels once
// it had to shrink. The excerpt reader gets the same bytes as a page.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "index/image_size.h"
#include "index/page_text.h"

namespace {

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "image_size_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  webhoard::ImageDimensions full;
  if (webhoard::GetImageSizeOfBytes(data, size, full)) {
    Check(full.width >= 0 && full.width <= 65535, "width out of range");
    Check(full.height >= 0 && full.height <= 65535, "height out of range");
    const webhoard::ImageDimensions thumb = webhoard::ThumbnailOf(full);
    Check(thumb.width >= 0 && thumb.height >= 0, "negative thumbnail");
    Check(thumb.width <= full.width && thumb.height <= full.height, "thumbnail enlarged");
    const std::int64_t area = static_cast<std::int64_t>(full.width) * full.height;
    if (area > 5000) Check(thumb.width <= 150 && thumb.height <= 150, "thumbnail too large");
  } else {
    Check(full.width == 0 && full.height == 0, "failure left a size");
  }
  const std::string text =
      webhoard::ExtractPageTextOf(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(text.size() <= webhoard::kPageTextLength, "excerpt too long");
  Check(text.empty() || text.front() != ' ', "excerpt begins with a space");
  return 0;
}
