// TExtendedMemoryStream: a growable byte buffer with a position, used as the
// read-ahead of the buffered file stream and as the batch buffer when a
// catalogue is saved.
//
// Beyond the ordinary memory stream operations it offers CopyAvailable,
// which copies up to a number of bytes from another stream and, unlike an
// ordinary copy, takes asking for more than the source still holds as a
// request for the rest rather than as an error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "cache/byte_stream.h"

namespace webhoard {

class TExtendedMemoryStream : public ByteStream {
 public:
  // CopyAvailable moves data through a scratch block of at most this size.
  static constexpr std::size_t kCopyBlockSize = 61440;

  std::size_t Read(void* buffer, std::size_t count) override;
  // Writes at the position, growing the stream as needed (a position past
  // the end leaves zero bytes in the gap).
  void Write(const void* data, std::size_t count) override;
  std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  std::uint64_t Size() override { return bytes_.size(); }

  // Sets the size; the position stays, even when it is now past the end.
  void SetSize(std::uint64_t size);
  // Empties the stream (size and position 0), keeping its storage for reuse.
  void Clear();
  // The bytes held, from the start.
  std::span<const std::uint8_t> Data() const { return bytes_; }
  // Bytes from the position to the end (0 when the position is past the end).
  std::uint64_t Remaining() const {
    return position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  }

  // Copies bytes from `source`, read at its position, to the end of this
  // stream and answers how many were copied. A count of 0 means the whole
  // source from its start. A count larger than what remains in the source
  // copies the remainder. Fewer bytes are copied only when the source
  // delivers less than its size promised (a read error, a shrunken file).
  std::uint64_t CopyAvailable(ByteStream& source, std::uint64_t count);

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t position_ = 0;
};

}  // namespace webhoard
