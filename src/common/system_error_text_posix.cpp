#include <cstring>

#include "common/system_error_text.h"

namespace webhoard {

// On POSIX systems the native error numbers are errno values.
std::string SystemErrorText(std::uint32_t code) {
  const char* text = std::strerror(static_cast<int>(code));
  return text != nullptr && *text != '\0' ? std::string(text) : "error " + std::to_string(code);
}

int ErrnoOfSystemError(std::uint32_t code) {
  return static_cast<int>(code);
}

}  // namespace webhoard
