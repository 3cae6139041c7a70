// Control models of the dialogs: what a label, a progress bar, a button, a
// timer, an edit field, a check box, a radio button, a combo box, a list box,
// a counter or a sample panel shows, without any toolkit. A form owns its controls (form.h); the Qt
// windows mirror them onto widgets, tests read them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace webhoard {

struct Label {
  std::string caption;
  bool visible = true;
};

struct ProgressBar {
  int min = 0;
  int max = 100;
  int position = 0;
};

struct Button {
  std::string caption;
  bool enabled = true;
  bool visible = true;
};

struct Timer {
  bool enabled = false;
  int interval_ms = 1;
};

// An edit field: its text, and whether it holds the keyboard focus.
struct EditBox {
  std::string text;
  bool focused = false;
  bool enabled = true;
};

struct CheckBox {
  std::string caption;
  bool checked = true;
  bool enabled = true;
};

// One button of a radio group. The window clears the other buttons of the
// group when it checks one; the form reads which one is checked.
struct RadioButton {
  std::string caption;
  bool checked = false;
  bool enabled = true;
};

struct ComboBox {
  std::vector<std::string> items;
  int item_index = -1;
  bool enabled = true;
  // The selected item's text; empty without a selection.
  std::string Text() const;
};

// A list box sorted without regard to case, with multiple selection.
struct ListBox {
  std::vector<std::string> items;
  std::vector<bool> selected;  // one flag per item
  bool focused = false;

  void Clear() { items.clear(), selected.clear(); }
  // Inserts at the sorted place (after equal names); answers the position.
  std::size_t AddSorted(const std::string& name);
  void Delete(std::size_t index);
  void SelectOnly(std::size_t index);
};

// A counter: its number, drawn grey while its category box is unchecked.
struct NumberPanel {
  std::uint64_t value = 0;
  bool greyed = false;
  std::string Caption() const { return std::to_string(value); }
};

// A panel showing a sample text literally, drawn in the grey-text colour
// while the choice it shows is not in effect, else in black.
struct SamplePanel {
  std::string caption;
  bool greyed = true;
};

}  // namespace webhoard
