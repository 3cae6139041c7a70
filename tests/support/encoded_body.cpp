#include "support/encoded_body.h"

#include <zlib.h>

#include <stdexcept>

namespace webhoard::testing {
namespace {

std::string Deflate(std::string_view bytes, int window_bits) {
  z_stream zs{};
  if (deflateInit2(&zs, 9, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::runtime_error("deflateInit2 failed");
  }
  std::string out(deflateBound(&zs, static_cast<uLong>(bytes.size())) + 32, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  zs.avail_in = static_cast<uInt>(bytes.size());
  zs.next_out = reinterpret_cast<Bytef*>(out.data());
  zs.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate failed");
  return out;
}

}  // namespace

std::string GzipOf(std::string_view bytes) {
  return Deflate(bytes, 16 + MAX_WBITS);
}
std::string ZlibDeflateOf(std::string_view bytes) {
  return Deflate(bytes, MAX_WBITS);
}
std::string RawDeflateOf(std::string_view bytes) {
  return Deflate(bytes, -MAX_WBITS);
}

}  // namespace webhoard::testing
