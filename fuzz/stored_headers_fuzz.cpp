// The response headers an Internet Explorer cache entry stores come from
// web servers. Whatever they hold, the content type taken from them is a
// lower-case part of them (or "text/html"), one line, and never longer than
// the 255 characters from the header's name on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cache/msie/read_ie_cache.h"
#include "common/ascii.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view headers(reinterpret_cast<const char*>(data), size);
  const std::string type = webhoard::ContentTypeFromHeaders(headers);
  const char* name = "stored_headers_fuzz";
  fuzz_files::Check(type.size() <= 255, name, "a type longer than the header may be");
  fuzz_files::Check(type.find('\n') == std::string::npos, name, "a type across lines");
  fuzz_files::Check(type == "text/html" || webhoard::AsciiLower(headers).find(type) != std::string::npos,
                    name, "a type that is not part of the headers");
  return 0;
}
