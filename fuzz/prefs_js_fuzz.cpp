// prefs.js is text from a user profile: any bytes must scan without a read
// outside the data, and a value found must be a part of the data (line
// breaks aside: the break that is not the line terminator is dropped).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "cache/navigator/navigator_location.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string unbroken;
  for (char c : bytes) {
    if (c != '\r' && c != '\n') unbroken.push_back(c);
  }
  for (const std::string_view name :
       {std::string_view("browser.cache.directory"), std::string_view("a"), std::string_view("")}) {
    char terminator = 0;
    const auto value = webhoard::ScanUserPref(bytes, name, terminator);
    if (value && (value->empty() || unbroken.find(*value) == std::string::npos)) std::abort();
    std::string line = "user_pref(\"" + std::string(name) + "\", ";
    line.append(bytes.substr(0, bytes.find_first_of("\r\n")));
    const auto in_line =
        webhoard::ExtractPrefValue(line, "user_pref(\"" + std::string(name) + "\"");
    if (in_line && line.find(*in_line) == std::string::npos) std::abort();
  }
  return 0;
}
