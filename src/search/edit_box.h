// The edit fields of the search window and the re-index dialog, without a
// toolkit: the text, and whether the field holds the keyboard focus.
#pragma once

#include <string>

namespace webhoard {

struct EditBox {
  std::string text;
  bool focused = false;
  bool enabled = true;
};

}  // namespace webhoard
