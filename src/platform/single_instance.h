// The single-instance test of the system, where the system has one: on
// Windows a named mutex per program file name, and a second start brings
// the first instance's main window (title "Webhoard") to the top. Where
// there is none (Linux), the desktop front end keeps one instance itself
// with a lock file and a local socket.
#pragma once

#include <string>

namespace webhoard {

enum class InstanceTest {
  kFirst,           // this is the first instance of the program file
  kNotFirst,        // another instance of the same program file runs
  kNotHandledHere,  // the system has no such test; the caller keeps one instance
};

// `program_file_name`: the running program's file name, without its folder,
// with its extension. The mutex stays held until the process ends.
InstanceTest CheckForSingleInstance(const std::string& program_file_name);

// Brings the first instance's main window to the top (not restored when
// minimised); answers whether one was found.
bool BringFirstInstanceToTop();

}  // namespace webhoard
