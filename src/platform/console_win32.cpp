#include <io.h>
#include <windows.h>

#include <atomic>

#include "platform/console.h"

namespace webhoard {
namespace {

// The console calls the handler on a thread of its own, hence an atomic.
std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;  // closing: default
  g_interrupted = true;
  return TRUE;
}

}  // namespace

void InstallInterruptFlag() {
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

bool InterruptFlagSet() {
  return g_interrupted;
}

void ClearInterruptFlag() {
  g_interrupted = false;
}

bool IsTerminal(std::FILE* stream) {
  return ::_isatty(::_fileno(stream)) != 0;
}

}  // namespace webhoard
