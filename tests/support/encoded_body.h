// Bodies in a Content-Encoding, made with zlib as a server would send them.
#pragma once

#include <string>
#include <string_view>

namespace webhoard::testing {

std::string GzipOf(std::string_view bytes);         // one gzip member
std::string ZlibDeflateOf(std::string_view bytes);  // "deflate" in its zlib wrapper
std::string RawDeflateOf(std::string_view bytes);   // "deflate" as some servers send it

}  // namespace webhoard::testing
