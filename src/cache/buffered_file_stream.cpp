#include "cache/buffered_file_stream.h"

#include <cerrno>
#include <limits>

#include "common/file_util.h"

namespace webhoard {
namespace {

const char* ModeText(FileOpenMode mode) {
  switch (mode) {
    case FileOpenMode::kReadOnly:
      return "rb";
    case FileOpenMode::kReadWrite:
      return "r+b";
    case FileOpenMode::kCreate:
      return "w+b";
  }
  return "rb";
}

// The C library positions files with `long`; a position it cannot express
// is refused rather than wrapped.
bool FitsLong(std::uint64_t value) {
  return value <= static_cast<std::uint64_t>(std::numeric_limits<long>::max());
}

}  // namespace

TSimpleBufferFileStream::TSimpleBufferFileStream(const std::string& file_name, FileOpenMode mode)
    : file_name_(file_name) {
  errno = 0;
  file_ = std::fopen(file_name.c_str(), ModeText(mode));
  if (file_ == nullptr) Fail("cannot open", errno);
  // The read-ahead already reads in large blocks, and a write must reach the
  // file (or fail) when it is made, not when the file is closed: so the C
  // library's own buffer would only add a copy and hide write failures.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  known_size_ = Size();
}

TSimpleBufferFileStream::~TSimpleBufferFileStream() {
  if (file_ != nullptr) std::fclose(file_);
}

void TSimpleBufferFileStream::Fail(const char* what, int error_number) const {
  const std::string reason =
      error_number != 0 ? ErrnoText(error_number) : std::string("input/output error");
  throw StreamError(std::string(what) + " " + file_name_ + ": " + reason, file_name_, reason);
}

// The C library demands a positioning call between a write and a following
// read (and the other way round); re-seeking to the tracked position is one.
void TSimpleBufferFileStream::PrepareFor(bool writing) {
  if (last_was_write_ != writing) {
    if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0)
      Fail("cannot seek in", errno);
    last_was_write_ = writing;
  }
}

std::size_t TSimpleBufferFileStream::Read(void* buffer, std::size_t count) {
  if (count == 0) return 0;
  PrepareFor(false);
  const std::size_t got = std::fread(buffer, 1, count, file_);
  position_ += got;
  if (got < count) std::clearerr(file_);  // a short read is the answer, not a state
  if (position_ > known_size_) known_size_ = position_;
  return got;
}

void TSimpleBufferFileStream::Write(const void* data, std::size_t count) {
  if (count == 0) return;
  PrepareFor(true);
  errno = 0;
  const std::size_t put = std::fwrite(data, 1, count, file_);
  position_ += put;
  if (position_ > known_size_) known_size_ = position_;
  if (put < count) {
    const int error_number = errno;
    std::clearerr(file_);
    Fail("cannot write", error_number);
  }
}

std::uint64_t TSimpleBufferFileStream::Seek(std::int64_t offset, SeekOrigin origin) {
  std::int64_t base = 0;
  switch (origin) {
    case SeekOrigin::kBegin:
      base = 0;
      break;
    case SeekOrigin::kCurrent:
      if (offset == 0) return position_;
      base = static_cast<std::int64_t>(position_);
      break;
    case SeekOrigin::kEnd:
      base = static_cast<std::int64_t>(Size());
      break;
  }
  if ((offset < 0 && base + offset < 0) ||
      (offset > 0 && base > std::numeric_limits<std::int64_t>::max() - offset)) {
    throw StreamError("cannot seek before the start of " + file_name_, file_name_,
                      "position out of range");
  }
  const auto target = static_cast<std::uint64_t>(base + offset);
  if (!FitsLong(target)) {
    throw StreamError("cannot seek in " + file_name_, file_name_, "position out of range");
  }
  if (std::fseek(file_, static_cast<long>(target), SEEK_SET) != 0) Fail("cannot seek in", errno);
  position_ = target;
  return position_;
}

std::uint64_t TSimpleBufferFileStream::Size() {
  if (last_was_write_ && std::fflush(file_) != 0) Fail("cannot write", errno);
  if (std::fseek(file_, 0, SEEK_END) != 0) Fail("cannot seek in", errno);
  const long end = std::ftell(file_);
  if (end < 0) Fail("cannot seek in", errno);
  if (std::fseek(file_, static_cast<long>(position_), SEEK_SET) != 0) Fail("cannot seek in", errno);
  known_size_ = static_cast<std::uint64_t>(end);
  return known_size_;
}

std::size_t TSimpleBufferFileStream::ReadBuffered(void* buffer, std::size_t count) {
  const std::uint64_t remaining = buffer_.Remaining();
  if (remaining < count) {
    // Step back over what the read-ahead still holds, so the refill starts
    // at the logical read position and no byte is lost or doubled.
    Seek(-static_cast<std::int64_t>(remaining), SeekOrigin::kCurrent);
    buffer_.Clear();
    if (buffer_.CopyAvailable(*this, kReadAheadSize) == 0) return 0;
    buffer_.Seek(0, SeekOrigin::kBegin);
  }
  return buffer_.Read(buffer, count);
}

std::uint64_t TSimpleBufferFileStream::ReadPosition() const {
  const std::uint64_t held = buffer_.Remaining();
  return position_ >= held ? position_ - held : 0;
}

std::uint64_t TSimpleBufferFileStream::BytesRemaining() const {
  const std::uint64_t at = ReadPosition();
  return known_size_ > at ? known_size_ - at : 0;
}

std::uint64_t TSimpleBufferFileStream::RefreshedBytesRemaining() {
  Size();
  return BytesRemaining();
}

}  // namespace webhoard
