// The console a command-line program runs in: whether an output stream is a
// terminal (worth drawing a progress line on), and Ctrl-C turned into a flag
// that the program checks between steps instead of being killed midway.
#pragma once

#include <cstdio>

namespace webhoard {

// From now on Ctrl-C sets the interrupt flag and the program runs on.
void InstallInterruptFlag();
// True once Ctrl-C was pressed after InstallInterruptFlag.
bool InterruptFlagSet();
void ClearInterruptFlag();

// True when `stream` writes to a terminal (not a file or a pipe).
bool IsTerminal(std::FILE* stream);

}  // namespace webhoard
