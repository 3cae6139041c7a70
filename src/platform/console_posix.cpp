#include <signal.h>
#include <unistd.h>

#include <csignal>

#include "platform/console.h"

namespace webhoard {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
  g_interrupted = 1;
}

}  // namespace

void InstallInterruptFlag() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool InterruptFlagSet() {
  return g_interrupted != 0;
}

void ClearInterruptFlag() {
  g_interrupted = 0;
}

bool IsTerminal(std::FILE* stream) {
  return ::isatty(fileno(stream)) != 0;
}

}  // namespace webhoard
