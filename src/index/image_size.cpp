#include "index/image_size.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/regular_file.h"

namespace webhoard {
namespace {

constexpr std::size_t kHeadBytes = 11;
constexpr std::int64_t kThumbnailArea = 5000;
constexpr std::int32_t kThumbnailSide = 150;

using Block = std::array<std::uint8_t, kHeadBytes>;

// Reads from a file the way the size walk needs: relative moves and reads of
// up to 11 bytes.
class FileSource {
 public:
  // Only a regular file, never one behind a link: see platform/regular_file.h.
  explicit FileSource(const std::string& path) : file_(OpenRegularFile(path)) {}
  bool open() const { return file_ != nullptr; }
  // False when the move is impossible (before the start, or a stream error).
  bool Move(std::int64_t delta) {
    if (delta < std::numeric_limits<long>::min() || delta > std::numeric_limits<long>::max()) {
      return false;
    }
    return std::fseek(file_.get(), static_cast<long>(delta), SEEK_CUR) == 0;
  }
  std::size_t Read(Block& block) { return std::fread(block.data(), 1, block.size(), file_.get()); }

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

class MemorySource {
 public:
  MemorySource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Move(std::int64_t delta) {
    // Like a file, a position past the end is allowed (reads then come up
    // short); one before the start is not.
    if (delta < 0 && static_cast<std::uint64_t>(-delta) > position_) return false;
    position_ = static_cast<std::uint64_t>(static_cast<std::int64_t>(position_) + delta);
    return true;
  }
  std::size_t Read(Block& block) {
    if (position_ >= size_) return 0;
    const std::size_t count = std::min<std::uint64_t>(block.size(), size_ - position_);
    std::memcpy(block.data(), data_ + position_, count);
    position_ += count;
    return count;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::uint64_t position_ = 0;
};

bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC;
}

std::int32_t BigEndian16(std::uint8_t high, std::uint8_t low) {
  return 256 * high + low;
}

template <typename Source>
bool ReadImageSize(Source& source, ImageDimensions& size) {
  size = {};
  Block b{};
  if (source.Read(b) < kHeadBytes) return false;
  if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
    size.width = b[6] + 256 * b[7];
    size.height = b[8] + 256 * b[9];
    return true;
  }
  if (!(b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF && b[3] == 0xE0 && b[6] == 'J' &&
        b[7] == 'F' && b[8] == 'I' && b[9] == 'F' && b[10] == 0)) {
    return false;
  }
  // The APP0 length counts from its own length field, of which 7 bytes are
  // read. A malformed length may make the first move zero or backwards.
  std::int64_t skip = BigEndian16(b[4], b[5]) - 7;
  for (;;) {
    if (!source.Move(skip)) return false;
    Block m{};
    const std::size_t count = source.Read(m);
    // A frame header needs its size bytes; a short read cannot hold one.
    if (count >= 9 && m[0] == 0xFF && IsStartOfFrame(m[1])) {
      size.height = BigEndian16(m[5], m[6]);
      size.width = BigEndian16(m[7], m[8]);
      return true;
    }
    skip = BigEndian16(m[2], m[3]) - 9;
    if (skip < 1 || count != kHeadBytes) return false;
  }
}

// Windows' MulDiv: a * b / c with a 64-bit product, rounded to the nearest
// integer, halves away from zero.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  const std::int64_t product = static_cast<std::int64_t>(a) * b;
  const std::int64_t magnitude = (product < 0 ? -product : product);
  const std::int64_t divisor = c < 0 ? -static_cast<std::int64_t>(c) : c;
  std::int64_t quotient = (2 * magnitude + divisor) / (2 * divisor);
  if ((product < 0) != (c < 0)) quotient = -quotient;
  return static_cast<std::int32_t>(quotient);
}

}  // namespace

bool GetImageSizeOfBytes(const std::uint8_t* data, std::size_t size, ImageDimensions& size_out) {
  MemorySource source(data, size);
  return ReadImageSize(source, size_out);
}

bool GetImageSize(const std::string& path, std::int32_t& width, std::int32_t& height) {
  width = 0;
  height = 0;
  FileSource source(path);
  if (!source.open()) return false;
  ImageDimensions size;
  if (!ReadImageSize(source, size)) return false;
  width = size.width;
  height = size.height;
  return true;
}

ImageDimensions ThumbnailOf(ImageDimensions full) {
  ImageDimensions thumb = full;
  // Both sides come from 16-bit fields, so their product may pass 2^31 - 1:
  // the area is taken in 64 bits.
  const std::int64_t area = static_cast<std::int64_t>(full.width) * full.height;
  if (area > kThumbnailArea) {
    // The scale is held in single precision; the divisions are not.
    const float scale = static_cast<float>(std::sqrt(static_cast<double>(area) * 0.0002));
    thumb.width = static_cast<std::int32_t>(thumb.width / static_cast<double>(scale));
    thumb.height = static_cast<std::int32_t>(thumb.height / static_cast<double>(scale));
  }
  const std::int32_t longer = std::max(thumb.width, thumb.height);
  if (longer > kThumbnailSide) {
    thumb.height = MulDiv(thumb.height, kThumbnailSide, longer);
    thumb.width = MulDiv(thumb.width, kThumbnailSide, longer);
  }
  return thumb;
}

bool GetThumbnailSize(const std::string& path, std::int32_t& thumb_width,
                      std::int32_t& thumb_height, std::int32_t& full_width,
                      std::int32_t& full_height) {
  if (!GetImageSize(path, full_width, full_height)) return false;
  const ImageDimensions thumb = ThumbnailOf({full_width, full_height});
  thumb_width = thumb.width;
  thumb_height = thumb.height;
  return true;
}

}  // namespace webhoard
