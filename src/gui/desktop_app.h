// Starting a desktop program: one instance per program file name, the
// settings, the windows in their written order (main window, the hidden
// Cache Explorer, the hidden Properties dialog, which loads the settings),
// then the event loop until the main window closes.
#pragma once

#include "common/edition.h"

namespace webhoard::gui {

int RunDesktop(Edition edition, int argc, char** argv);

}  // namespace webhoard::gui
