// Every window handler runs through Guarded: an error that escapes a
// command is shown in the program's general error box and the program goes
// on (no exception ever crosses Qt's event loop).
#pragma once

#include <exception>
#include <new>
#include <string>

namespace webhoard::gui {

// The general error box: an error box with the error's text and OK.
void ShowGeneralError(const std::string& text) noexcept;

// Answers false when the handler ended with an error (after the box).
template <class Handler>
bool Guarded(Handler&& handler) noexcept {
  try {
    handler();
    return true;
  } catch (const std::bad_alloc&) {
    ShowGeneralError("There was not enough memory to complete the operation.");
  } catch (const std::exception& e) {
    ShowGeneralError(e.what());
  } catch (...) {
    ShowGeneralError("An unexpected error ended the command.");
  }
  return false;
}

}  // namespace webhoard::gui
