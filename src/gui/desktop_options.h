// The desktop programs' command line. The windows need none; these options
// only save a step for a first run: which cache to read, stored in the
// settings as the Properties dialog would store it, before the windows open.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/edition.h"

namespace webhoard::gui {

struct DesktopOptions {
  bool help = false;
  bool version = false;
  // Navigator: the cache index file (FAT or FAT.DB). Internet Explorer: the
  // folder of the URL cache's index.dat. Made absolute.
  std::optional<std::string> cache;
  std::string error;  // what was wrong with the command line
};

DesktopOptions ParseDesktopOptions(const std::vector<std::string>& words,
                                   const std::string& working_folder);

// The --help text of an edition's program.
std::string DesktopUsage(Edition edition, const std::string& program);

}  // namespace webhoard::gui
