#include "cache/chromium/response_info_pickle.h"

#include <algorithm>

#include "common/little_endian.h"

namespace webhoard {
namespace {

// Bits of the flags word; the low byte is the pickle's version.
constexpr std::uint32_t kVersionMask = 0xff;
constexpr std::uint32_t kTruncated = 1u << 12;
constexpr std::uint32_t kHasExtraFlags = 1u << 31;
// A bit of the extra flags word.
constexpr std::uint32_t kHasOriginalResponseTime = 1u << 2;

// Versions 1 and 2 (before 2009) lead with the same fields as 3, the only
// one written since.
constexpr std::uint32_t kOldestVersion = 1;
constexpr std::uint32_t kNewestVersion = 3;

constexpr std::int64_t kSeconds1601To1970 = 11644473600;

// Reads the fields of a pickle's payload in order; every field starts on a
// 4-byte boundary. Any read past the payload fails and stays failed.
class PickleReader {
 public:
  explicit PickleReader(std::string_view payload)
      : bytes_(reinterpret_cast<const std::uint8_t*>(payload.data()), payload.size()) {}

  std::optional<std::uint32_t> U32() { return Take<std::uint32_t>(); }
  std::optional<std::int64_t> I64() { return Take<std::int64_t>(); }

  std::optional<std::string> String() {
    const std::optional<std::int32_t> length = Take<std::int32_t>();
    if (!length || *length < 0 ||
        !FitsIn(bytes_.size(), offset_, static_cast<std::uint64_t>(*length))) {
      return std::nullopt;
    }
    std::string text(reinterpret_cast<const char*>(bytes_.data() + offset_),
                     static_cast<std::size_t>(*length));
    // The padding of a last field may be missing.
    offset_ = std::min<std::uint64_t>(offset_ + Padded(*length), bytes_.size());
    return text;
  }

 private:
  static std::uint64_t Padded(std::int64_t length) {
    return (static_cast<std::uint64_t>(length) + 3) & ~std::uint64_t{3};
  }

  template <typename T>
  std::optional<T> Take() {
    const std::optional<T> value = ReadLE<T>(bytes_, offset_);
    if (value) offset_ += Padded(sizeof(T));
    return value;
  }

  Bytes bytes_;
  std::uint64_t offset_ = 0;
};

}  // namespace

std::int64_t UnixSecondsFromChromiumTime(std::int64_t microseconds) {
  return microseconds / 1'000'000 - kSeconds1601To1970;
}

std::optional<ResponseInfo> ParseResponseInfo(std::string_view pickle) {
  const std::optional<std::uint32_t> payload_size =
      ReadU32(Bytes(reinterpret_cast<const std::uint8_t*>(pickle.data()), pickle.size()), 0);
  if (!payload_size || *payload_size > pickle.size() - 4) return std::nullopt;
  PickleReader reader(pickle.substr(4, *payload_size));

  ResponseInfo info;
  const std::optional<std::uint32_t> flags = reader.U32();
  if (!flags) return std::nullopt;
  const std::uint32_t version = *flags & kVersionMask;
  if (version < kOldestVersion || version > kNewestVersion) return std::nullopt;
  info.flags = *flags;
  info.truncated = (*flags & kTruncated) != 0;
  std::uint32_t extra_flags = 0;
  if ((*flags & kHasExtraFlags) != 0) {
    const std::optional<std::uint32_t> extra = reader.U32();
    if (!extra) return std::nullopt;
    extra_flags = *extra;
  }
  const std::optional<std::int64_t> request_time = reader.I64();
  const std::optional<std::int64_t> response_time = reader.I64();
  if (!request_time || !response_time) return std::nullopt;
  info.request_time = UnixSecondsFromChromiumTime(*request_time);
  info.response_time = UnixSecondsFromChromiumTime(*response_time);
  if ((extra_flags & kHasOriginalResponseTime) != 0) {
    const std::optional<std::int64_t> original = reader.I64();
    if (!original) return std::nullopt;
    info.original_response_time = UnixSecondsFromChromiumTime(*original);
  }
  std::optional<std::string> headers = reader.String();
  if (!headers) return std::nullopt;
  info.headers = std::move(*headers);
  return info;
}

}  // namespace webhoard
