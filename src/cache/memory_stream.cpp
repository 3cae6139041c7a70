#include "cache/memory_stream.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace webhoard {

std::size_t TExtendedMemoryStream::Read(void* buffer, std::size_t count) {
  const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, Remaining()));
  if (n > 0) {
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += n;
  }
  return n;
}

void TExtendedMemoryStream::Write(const void* data, std::size_t count) {
  if (count == 0) return;
  if (position_ > bytes_.max_size() || count > bytes_.max_size() - position_) {
    throw StreamError("memory stream too large");
  }
  const std::size_t end = static_cast<std::size_t>(position_) + count;
  if (end > bytes_.size()) bytes_.resize(end);
  std::memcpy(bytes_.data() + position_, data, count);
  position_ = end;
}

std::uint64_t TExtendedMemoryStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case SeekOrigin::kBegin:
      base = 0;
      break;
    case SeekOrigin::kCurrent:
      base = static_cast<std::int64_t>(position_);
      break;
    case SeekOrigin::kEnd:
      base = static_cast<std::int64_t>(bytes_.size());
      break;
  }
  if ((offset < 0 && base + offset < 0) ||
      (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset)) {
    throw StreamError("memory stream position out of range");
  }
  position_ = static_cast<std::uint64_t>(base + offset);
  return position_;
}

void TExtendedMemoryStream::SetSize(std::uint64_t size) {
  if (size > bytes_.max_size()) throw StreamError("memory stream too large");
  bytes_.resize(static_cast<std::size_t>(size));
}

void TExtendedMemoryStream::Clear() {
  bytes_.clear();
  position_ = 0;
}

std::uint64_t TExtendedMemoryStream::CopyAvailable(ByteStream& source, std::uint64_t count) {
  if (count == 0) {
    source.Seek(0, SeekOrigin::kBegin);
    count = source.Size();
  }
  const std::uint64_t size = source.Size();
  const std::uint64_t position = source.Position();
  const std::uint64_t available = position < size ? size - position : 0;
  count = std::min(count, available);
  if (count == 0) return 0;

  // The block is sized from the clamped count, so a huge request on a small
  // source never allocates more than the source can deliver.
  std::vector<std::uint8_t> block(
      static_cast<std::size_t>(std::min<std::uint64_t>(count, kCopyBlockSize)));
  position_ = bytes_.size();
  std::uint64_t copied = 0;
  while (copied < count) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(count - copied, block.size()));
    const std::size_t got = source.Read(block.data(), want);
    Write(block.data(), got);
    copied += got;
    if (got < want) break;  // the source delivered less than it promised
  }
  return copied;
}

}  // namespace webhoard
