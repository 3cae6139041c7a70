// TSimpleBufferFileStream: a file stream with a 32 KiB read-ahead, made for
// reading a catalogue record by record.
//
// A record is read as a string of small reads (16 bytes, 12 bytes, then its
// three texts). ReadBuffered serves them from a TExtendedMemoryStream that is
// refilled from the file 32 KiB at a time, so a large catalogue costs one
// file read per 32 KiB instead of five per record.
//
// Only ReadBuffered goes through the read-ahead. Read, Write and Seek act on
// the file directly, and Position/Size report the file's own position and
// size. After ReadBuffered the file position is ahead of the logical read
// position by what the read-ahead still holds (ReadPosition tells the
// logical one), so a caller reads a file either buffered or plainly, not
// both at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cache/byte_stream.h"
#include "cache/memory_stream.h"

namespace webhoard {

enum class FileOpenMode {
  kReadOnly,   // an existing file, read only
  kReadWrite,  // an existing file, read and written
  kCreate,     // a new or truncated file, read and written
};

class TSimpleBufferFileStream : public ByteStream {
 public:
  static constexpr std::size_t kReadAheadSize = 32768;

  // Opens the file; throws StreamError naming the file and the operating
  // system's reason when it cannot be opened.
  TSimpleBufferFileStream(const std::string& file_name, FileOpenMode mode);
  ~TSimpleBufferFileStream() override;
  TSimpleBufferFileStream(const TSimpleBufferFileStream&) = delete;
  TSimpleBufferFileStream& operator=(const TSimpleBufferFileStream&) = delete;

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* data, std::size_t count) override;
  std::uint64_t Seek(std::int64_t offset, SeekOrigin origin) override;
  // The file's size as the operating system reports it now.
  std::uint64_t Size() override;

  // Reads up to `count` bytes through the read-ahead and answers how many
  // were delivered: 0 at the end of the file, and never more than
  // kReadAheadSize in one call.
  std::size_t ReadBuffered(void* buffer, std::size_t count);

  // The logical position of buffered reading: the file position less what
  // the read-ahead still holds.
  std::uint64_t ReadPosition() const;
  // Bytes the file holds after ReadPosition(), by the size last seen. A
  // reader checks a record's length fields against this before it trusts
  // them; RefreshedBytesRemaining asks the file system again.
  std::uint64_t BytesRemaining() const;
  std::uint64_t RefreshedBytesRemaining();

  const std::string& file_name() const { return file_name_; }

 private:
  [[noreturn]] void Fail(const char* what, int error_number) const;
  void PrepareFor(bool writing);

  std::string file_name_;
  std::FILE* file_ = nullptr;
  TExtendedMemoryStream buffer_;
  std::uint64_t position_ = 0;    // the file position
  std::uint64_t known_size_ = 0;  // the file size last seen
  bool last_was_write_ = false;
};

}  // namespace webhoard
