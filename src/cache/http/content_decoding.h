// Undoing the Content-Encoding a browser stored a body in (gzip, deflate,
// br), so that the archive holds the page or picture itself. Decoding
// streams from a source to a sink in small chunks: a body is never held
// whole in memory, and the decoded size is capped, since a few kilobytes of
// a hostile server's gzip or brotli can unfold into gigabytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

// Where stored bytes come from.
class BodySource {
 public:
  virtual ~BodySource() = default;
  // Up to `size` bytes into `buffer`: how many were read, 0 at the end,
  // nullopt when reading failed.
  virtual std::optional<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

// Where decoded bytes go. False when they could not all be taken.
class BodySink {
 public:
  virtual ~BodySink() = default;
  virtual bool Write(std::string_view bytes) = 0;
};

// `length` bytes from `offset` of an open file (a slice of a cache file that
// holds other entries or records around the body). Fewer bytes in the file
// than the slice promises is a read failure, not a shorter body. Keeps the
// CRC-32 of the bytes read so far.
class FileSliceSource : public BodySource {
 public:
  FileSliceSource(std::FILE* file, std::uint64_t offset, std::uint64_t length)
      : file_(file), offset_(offset), length_(length) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override;
  // Back to the slice's first byte (to copy the stored bytes after a failed
  // decoding); false when the file cannot be positioned.
  bool Rewind();
  std::uint64_t bytes_read() const { return read_; }
  std::uint64_t length() const { return length_; }
  std::uint32_t crc32() const { return crc_; }

 private:
  std::FILE* file_;
  std::uint64_t offset_;
  std::uint64_t length_;
  std::uint64_t read_ = 0;
  bool positioned_ = false;
  std::uint32_t crc_ = 0;
};

class StringSource : public BodySource {
 public:
  explicit StringSource(std::string_view bytes) : bytes_(bytes) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
};

class FileSink : public BodySink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  bool Write(std::string_view bytes) override;

 private:
  std::FILE* file_;
};

class StringSink : public BodySink {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  bool Write(std::string_view bytes) override {
    out_.append(bytes);
    return true;
  }

 private:
  std::string& out_;
};

enum class DecodeStatus {
  kDecoded,      // every byte decoded; a body without encoding is copied as is
  kUnsupported,  // an encoding this build does not decode (zstd, a list of several, ...)
  kCorrupt,      // no valid stream of its encoding: damaged or cut short
  kTooLarge,     // the decoded bytes would pass the limit
  kReadFailed,   // the stored bytes could not be read
  kWriteFailed,  // the sink did not take the decoded bytes
};

// "corrupt gzip stream", "unsupported encoding \"zstd\"", ...
std::string DecodeStatusWords(DecodeStatus status, std::string_view encoding);

struct DecodeResult {
  DecodeStatus status = DecodeStatus::kDecoded;
  std::uint64_t decoded_bytes = 0;  // written to the sink, also when decoding failed
};

// Whether this build decodes `encoding` ("" and "identity" included); the
// Windows build has no brotli, so "br" is not.
bool CanDecode(std::string_view encoding);

// The most bytes a body of `stored_length` bytes may decode to.
std::uint64_t DecodedSizeLimit(std::uint64_t stored_length);

// Decodes everything `source` delivers per `encoding` (lower case, as
// StoredBody::content_encoding) into `sink`, stopping with kTooLarge before
// more than `max_decoded` bytes are written. Bytes after the end of a
// compressed stream are ignored, as browsers ignore them. On any status but
// kDecoded the sink holds an incomplete body the caller must discard.
DecodeResult DecodeBody(std::string_view encoding, BodySource& source, BodySink& sink,
                        std::uint64_t max_decoded);

}  // namespace webhoard
