#include "cache/http/content_decoding.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <new>
#include <vector>

#include "cache/http/crc32.h"

// Set by the build: 0 where brotli is not at hand (Debian has none for
// mingw-w64), and "br" bodies are then archived as stored.
#ifndef WEBHOARD_HAVE_BROTLI
#define WEBHOARD_HAVE_BROTLI 0
#endif
#if WEBHOARD_HAVE_BROTLI
#include <brotli/decode.h>
#endif

namespace webhoard {
namespace {

// Bytes read and written per step: small enough to keep memory flat for
// any body, large enough that the calls cost nothing beside the work.
constexpr std::size_t kChunk = 64 * 1024;

// The decoded size limit. Ordinary web content compresses 3 to 20 times
// (text, scripts, JSON; pictures and videos are not compressed again), and
// even very repetitive pages stay well under 64 times, while gzip bombs
// unfold about 1000 times and brotli bombs millions of times. Small bodies
// may always unfold to 64 MiB, a harmless amount, so a tiny but repetitive
// page still decodes; no body unfolds past 4 GiB, which bounds what one
// hostile entry can cost the archive's disk.
constexpr std::uint64_t kMaxRatio = 64;
constexpr std::uint64_t kAlwaysAllowed = 64ull << 20;
constexpr std::uint64_t kNeverMore = 4ull << 30;

enum class Coding { kNone, kGzip, kDeflate, kBrotli, kUnknown };

Coding CodingOf(std::string_view encoding) {
  if (encoding.empty() || encoding == "identity") return Coding::kNone;
  if (encoding == "gzip" || encoding == "x-gzip") return Coding::kGzip;
  if (encoding == "deflate") return Coding::kDeflate;
  if (encoding == "br") return Coding::kBrotli;
  return Coding::kUnknown;  // zstd, compress, "gzip, br" (encoded twice), ...
}

// The stored bytes, read ahead in one chunk, so a decoder can look at the
// next bytes (a gzip member's magic) before it takes them.
class Input {
 public:
  explicit Input(BodySource& source) : source_(source), buffer_(kChunk) {}

  // Makes at least `count` bytes available unless the source ends first;
  // false when reading failed.
  bool Fill(std::size_t count) {
    if (end_ - start_ >= count || at_end_) return true;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(start_),
              buffer_.begin() + static_cast<std::ptrdiff_t>(end_), buffer_.begin());
    end_ -= start_;
    start_ = 0;
    while (end_ < count && !at_end_) {
      const auto got = source_.Read(buffer_.data() + end_, buffer_.size() - end_);
      if (!got) return false;
      if (*got == 0) at_end_ = true;
      end_ += *got;
    }
    return true;
  }
  std::size_t available() const { return end_ - start_; }
  const unsigned char* data() const {
    return reinterpret_cast<const unsigned char*>(buffer_.data()) + start_;
  }
  void Consume(std::size_t count) { start_ += count; }

 private:
  BodySource& source_;
  std::vector<char> buffer_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  bool at_end_ = false;
};

// The sink behind the size limit.
class Output {
 public:
  Output(BodySink& sink, std::uint64_t max) : sink_(sink), max_(max) {}

  DecodeStatus Put(const unsigned char* bytes, std::size_t count) {
    if (count > max_ - written_) return DecodeStatus::kTooLarge;
    if (!sink_.Write({reinterpret_cast<const char*>(bytes), count})) {
      return DecodeStatus::kWriteFailed;
    }
    written_ += count;
    return DecodeStatus::kDecoded;
  }
  std::uint64_t written() const { return written_; }

 private:
  BodySink& sink_;
  std::uint64_t max_;
  std::uint64_t written_ = 0;
};

DecodeStatus CopyAsIs(Input& in, Output& out) {
  for (;;) {
    if (!in.Fill(1)) return DecodeStatus::kReadFailed;
    if (in.available() == 0) return DecodeStatus::kDecoded;
    const DecodeStatus put = out.Put(in.data(), in.available());
    if (put != DecodeStatus::kDecoded) return put;
    in.Consume(in.available());
  }
}

bool StartsGzipMember(const Input& in) {
  return in.available() >= 2 && in.data()[0] == 0x1f && in.data()[1] == 0x8b;
}

// A zlib header: method 8 (deflate) and a check value that makes the first
// two bytes a multiple of 31. Raw deflate data rarely passes both.
bool StartsZlibStream(const Input& in) {
  if (in.available() < 2) return false;
  const unsigned header = (static_cast<unsigned>(in.data()[0]) << 8) | in.data()[1];
  return (in.data()[0] & 0x0f) == 8 && header % 31 == 0;
}

class Inflater {
 public:
  explicit Inflater(int window_bits) {
    if (inflateInit2(&stream_, window_bits) != Z_OK) throw std::bad_alloc();
  }
  ~Inflater() { inflateEnd(&stream_); }
  Inflater(const Inflater&) = delete;
  Inflater& operator=(const Inflater&) = delete;
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
};

// gzip (every member of a concatenation) and deflate, in the zlib wrapper
// browsers expect or raw, as some servers send it.
DecodeStatus Inflate(Input& in, Output& out, bool gzip) {
  if (!in.Fill(2)) return DecodeStatus::kReadFailed;
  if (in.available() == 0) return DecodeStatus::kDecoded;  // an empty body stays empty
  const int window_bits = gzip ? 16 + MAX_WBITS : (StartsZlibStream(in) ? MAX_WBITS : -MAX_WBITS);
  Inflater inflater(window_bits);
  z_stream& zs = inflater.stream();
  std::vector<unsigned char> decoded(kChunk);
  // A full output buffer may leave decoded bytes inside zlib after the
  // last input is taken: those come out without more input.
  bool output_full = false;
  for (;;) {
    if (!in.Fill(1)) return DecodeStatus::kReadFailed;
    if (in.available() == 0 && !output_full) return DecodeStatus::kCorrupt;  // cut short
    zs.next_in = const_cast<unsigned char*>(in.data());
    zs.avail_in = static_cast<uInt>(in.available());
    zs.next_out = decoded.data();
    zs.avail_out = static_cast<uInt>(decoded.size());
    const int rc = inflate(&zs, Z_NO_FLUSH);
    const std::size_t consumed = in.available() - zs.avail_in;
    const std::size_t produced = decoded.size() - zs.avail_out;
    in.Consume(consumed);
    output_full = zs.avail_out == 0;
    const DecodeStatus put = out.Put(decoded.data(), produced);
    if (put != DecodeStatus::kDecoded) return put;
    if (rc == Z_STREAM_END) {
      if (!gzip) return DecodeStatus::kDecoded;
      if (!in.Fill(2)) return DecodeStatus::kReadFailed;
      if (!StartsGzipMember(in)) return DecodeStatus::kDecoded;
      if (inflateReset(&zs) != Z_OK) return DecodeStatus::kCorrupt;
      continue;
    }
    if ((rc != Z_OK && rc != Z_BUF_ERROR) || (consumed == 0 && produced == 0)) {
      return DecodeStatus::kCorrupt;
    }
  }
}

#if WEBHOARD_HAVE_BROTLI
DecodeStatus Unbrotli(Input& in, Output& out) {
  struct Free {
    void operator()(BrotliDecoderState* state) const { BrotliDecoderDestroyInstance(state); }
  };
  std::unique_ptr<BrotliDecoderState, Free> state(
      BrotliDecoderCreateInstance(nullptr, nullptr, nullptr));
  if (!state) throw std::bad_alloc();
  std::vector<unsigned char> decoded(kChunk);
  bool needs_input = true;
  for (;;) {
    if (needs_input) {
      if (!in.Fill(1)) return DecodeStatus::kReadFailed;
      if (in.available() == 0) return DecodeStatus::kCorrupt;  // cut short, or empty
    }
    const unsigned char* next_in = in.data();
    std::size_t avail_in = in.available();
    unsigned char* next_out = decoded.data();
    std::size_t avail_out = decoded.size();
    const BrotliDecoderResult result = BrotliDecoderDecompressStream(
        state.get(), &avail_in, &next_in, &avail_out, &next_out, nullptr);
    in.Consume(in.available() - avail_in);
    const DecodeStatus put = out.Put(decoded.data(), decoded.size() - avail_out);
    if (put != DecodeStatus::kDecoded) return put;
    switch (result) {
      case BROTLI_DECODER_RESULT_SUCCESS:
        return DecodeStatus::kDecoded;
      case BROTLI_DECODER_RESULT_NEEDS_MORE_INPUT:
        needs_input = true;
        break;
      case BROTLI_DECODER_RESULT_NEEDS_MORE_OUTPUT:
        needs_input = false;
        break;
      default:
        return DecodeStatus::kCorrupt;
    }
  }
}
#endif

}  // namespace

std::optional<std::size_t> FileSliceSource::Read(char* buffer, std::size_t size) {
  if (!positioned_) {
    // std::fseek takes a long, 32 bits on Windows: a body further into its
    // file than that cannot be reached there.
    if (offset_ > static_cast<std::uint64_t>(LONG_MAX) ||
        std::fseek(file_, static_cast<long>(offset_), SEEK_SET) != 0) {
      return std::nullopt;
    }
    positioned_ = true;
  }
  const std::size_t wanted =
      static_cast<std::size_t>(std::min<std::uint64_t>(size, length_ - read_));
  if (wanted == 0) return 0;
  const std::size_t got = std::fread(buffer, 1, wanted, file_);
  if (got == 0) return std::nullopt;  // the file ends inside the slice, or a read error
  read_ += got;
  crc_ = Crc32({buffer, got}, crc_);
  return got;
}

bool FileSliceSource::Rewind() {
  positioned_ = false;
  read_ = 0;
  crc_ = 0;
  return true;
}

std::optional<std::size_t> StringSource::Read(char* buffer, std::size_t size) {
  const std::size_t count = std::min(size, bytes_.size());
  std::copy_n(bytes_.data(), count, buffer);
  bytes_.remove_prefix(count);
  return count;
}

bool FileSink::Write(std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
}

std::string DecodeStatusWords(DecodeStatus status, std::string_view encoding) {
  const std::string quoted = "\"" + std::string(encoding) + "\"";
  switch (status) {
    case DecodeStatus::kDecoded:
      return "decoded";
    case DecodeStatus::kUnsupported:
      return "the encoding " + quoted + " is not supported in this build";
    case DecodeStatus::kCorrupt:
      return "damaged or incomplete " + quoted + " data";
    case DecodeStatus::kTooLarge:
      return "decodes to more than the size limit";
    case DecodeStatus::kReadFailed:
      return "the stored bytes cannot be read";
    case DecodeStatus::kWriteFailed:
      return "the decoded bytes cannot be written";
  }
  return "unknown";
}

bool CanDecode(std::string_view encoding) {
  switch (CodingOf(encoding)) {
    case Coding::kNone:
    case Coding::kGzip:
    case Coding::kDeflate:
      return true;
    case Coding::kBrotli:
      return WEBHOARD_HAVE_BROTLI != 0;
    case Coding::kUnknown:
      return false;
  }
  return false;
}

std::uint64_t DecodedSizeLimit(std::uint64_t stored_length) {
  const std::uint64_t unfolded =
      stored_length > kNeverMore / kMaxRatio ? kNeverMore : stored_length * kMaxRatio;
  // A body stored without encoding is never cut, whatever its size.
  return std::max(stored_length, std::clamp(unfolded, kAlwaysAllowed, kNeverMore));
}

DecodeResult DecodeBody(std::string_view encoding, BodySource& source, BodySink& sink,
                        std::uint64_t max_decoded) {
  if (!CanDecode(encoding)) return {DecodeStatus::kUnsupported, 0};
  Input in(source);
  Output out(sink, max_decoded);
  DecodeStatus status = DecodeStatus::kUnsupported;
  switch (CodingOf(encoding)) {
    case Coding::kNone:
      status = CopyAsIs(in, out);
      break;
    case Coding::kGzip:
      status = Inflate(in, out, true);
      break;
    case Coding::kDeflate:
      status = Inflate(in, out, false);
      break;
    case Coding::kBrotli:
#if WEBHOARD_HAVE_BROTLI
      status = Unbrotli(in, out);
#endif
      break;
    case Coding::kUnknown:
      break;
  }
  return {status, out.written()};
}


}  // namespace webhoard
