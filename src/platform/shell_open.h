// The system shell's "open": hands a document, a folder or a web address to
// the program the user associates with it (the web browser for pages, the
// file manager for folders).
//
// The outcome is a result number in the classic shell's terms, so that every
// caller can explain a refusal the same way on every system: a number greater
// than 32 is success; 32 and below name the reason (see the kShellError*
// constants). On Linux the opener is `xdg-open`, found on PATH and started
// without a shell, with the target as its one argument; its exit status is
// translated into these numbers.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace webhoard {

// Result numbers of ShellOpen. Success is any number above kShellErrorLast.
inline constexpr int kShellOpenSucceeded = 42;
inline constexpr int kShellErrorOutOfResources = 0;
inline constexpr int kShellErrorFileNotFound = 2;
inline constexpr int kShellErrorPathNotFound = 3;
inline constexpr int kShellErrorAccessDenied = 5;
inline constexpr int kShellErrorOutOfMemory = 8;
inline constexpr int kShellErrorNoAssociation = 31;
// A failure with no better-fitting reason ("could not be opened").
inline constexpr int kShellErrorGeneral = 1;
inline constexpr int kShellErrorLast = 32;

inline bool ShellOpenSucceeded(int result) {
  return result > kShellErrorLast;
}

struct ShellOpenOptions {
  // How long to wait for the opener to report. Some openers return at once
  // after starting the browser; others run the browser in the foreground and
  // return only when it closes. An opener still running after this long has
  // started something, which counts as success; it is left to run and is
  // reaped in the background.
  std::chrono::milliseconds wait_limit{5000};
  // Called now and then while waiting (the user interface serves its events).
  std::function<void()> while_waiting;
};

// Opens `target` (a file or folder path, or an address such as
// "http://host/"). Never throws; answers a result number as described above.
int ShellOpen(const std::string& target, const ShellOpenOptions& options = {});

}  // namespace webhoard
