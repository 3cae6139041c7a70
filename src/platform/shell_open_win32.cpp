// ShellOpen on Windows: the shell's own "open" (ShellExecute with the
// default verb), whose return value already is the result number.
#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>

#include "platform/shell_open.h"

namespace webhoard {

int ShellOpen(const std::string& target, const ShellOpenOptions& /*options*/) {
  // A name with a NUL byte in it would be opened cut short.
  if (target.find('\0') != std::string::npos) return kShellErrorFileNotFound;
  const HINSTANCE result = ::ShellExecuteA(::GetActiveWindow(), nullptr, target.c_str(), nullptr,
                                           nullptr, SW_SHOWNORMAL);
  const INT_PTR number = reinterpret_cast<INT_PTR>(result);
  return number > kShellErrorLast ? kShellOpenSucceeded : static_cast<int>(number);
}

}  // namespace webhoard
