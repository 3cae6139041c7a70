// Stored bodies come from web servers, and their Content-Encoding from the
// same servers. Whatever the bytes, decoding ends with a status, never
// writes past its limit, and a body without encoding comes out unchanged.
// The first byte picks the encoding, the rest is the stored body.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cache/http/content_decoding.h"
#include "fuzz_files.h"

namespace {

// Counts what it is given instead of keeping it: bombs stay cheap.
class CountingSink : public webhoard::BodySink {
 public:
  bool Write(std::string_view bytes) override {
    total += bytes.size();
    if (kept.size() < 4096) kept.append(bytes.substr(0, 4096 - kept.size()));
    return true;
  }
  std::uint64_t total = 0;
  std::string kept;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  constexpr std::array<std::string_view, 6> kEncodings = {"",   "gzip", "deflate",
                                                          "br", "zstd", "x-gzip"};
  const std::string_view encoding = kEncodings[data[0] % kEncodings.size()];
  const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
  constexpr std::uint64_t kLimit = 1 << 20;
  webhoard::StringSource source(body);
  CountingSink sink;
  const webhoard::DecodeResult result = webhoard::DecodeBody(encoding, source, sink, kLimit);
  const char* name = "content_decoding_fuzz";
  fuzz_files::Check(result.decoded_bytes == sink.total, name,
                    "a count that is not what was written");
  fuzz_files::Check(sink.total <= kLimit, name, "more decoded than the limit allows");
  fuzz_files::Check(result.status != webhoard::DecodeStatus::kReadFailed &&
                        result.status != webhoard::DecodeStatus::kWriteFailed,
                    name, "a failed read or write from memory");
  if (encoding.empty() && body.size() <= 4096) {
    fuzz_files::Check(result.status == webhoard::DecodeStatus::kDecoded && sink.kept == body, name,
                      "a body without encoding changed");
  }
  return 0;
}
