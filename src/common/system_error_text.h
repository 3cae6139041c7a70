// The operating system's own sentence for an error number of its native
// interface (on Windows a GetLastError() code), without the trailing period
// and line break; "error N" when the system has no text for it. Used by the
// Windows twins; the POSIX ones use ErrnoText (file_util.h).
#pragma once

#include <cstdint>
#include <string>

namespace webhoard {

std::string SystemErrorText(std::uint32_t code);

// The errno value that stands for a native error number, for the callers
// that report failures through errno (EIO when none fits).
int ErrnoOfSystemError(std::uint32_t code);

}  // namespace webhoard
