// Byte streams: the small stream family that item records are written to
// and read from.
//
// ByteSink is anything an item record can be appended to with plain writes
// (a memory buffer, a file). ByteStream adds reading, seeking and the size,
// which is what a read-ahead buffer needs from its source. Both the memory
// stream and the buffered file stream are ByteStreams.
//
// Writes never fail silently: a write that cannot store every byte throws
// StreamError, so that a full disk is never taken for a saved catalogue.
// Reads are plain reads: they answer how many bytes were delivered, fewer
// (or none) at the end of the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace webhoard {

// A stream failure: a file that cannot be opened, written or positioned.
// The message names the file and the operating system's reason.
class StreamError : public std::runtime_error {
 public:
  StreamError(const std::string& message, std::string file_name, std::string reason)
      : std::runtime_error(message), file_name_(std::move(file_name)), reason_(std::move(reason)) {}
  explicit StreamError(const std::string& message) : std::runtime_error(message) {}

  // The file concerned (empty for memory streams).
  const std::string& file_name() const { return file_name_; }
  // The operating system's text for the failure ("Permission denied").
  const std::string& reason() const { return reason_; }

 private:
  std::string file_name_;
  std::string reason_;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes `count` bytes at the current position; throws StreamError when
  // they cannot all be written.
  virtual void Write(const void* data, std::size_t count) = 0;
};

enum class SeekOrigin { kBegin, kCurrent, kEnd };

class ByteStream : public ByteSink {
 public:
  // Reads up to `count` bytes at the current position and answers how many
  // were delivered (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Moves the position and answers the new one; throws StreamError for a
  // position before the start or one the stream cannot reach.
  virtual std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) = 0;
  // The number of bytes in the stream.
  virtual std::uint64_t Size() = 0;

  std::uint64_t Position() { return Seek(0, SeekOrigin::kCurrent); }
};

}  // namespace webhoard
