// Control models of the dialogs: what a label, a progress bar, a button or
// a timer shows, without any toolkit. A form owns its controls and tells its
// window through Form::NotifyChanged() when they changed; the Qt windows
// mirror them onto widgets, tests read them directly.
#pragma once

#include <functional>
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

// Modal results of a dialog.
enum ModalResult : int { kModalNone = 0, kModalOk = 1, kModalCancel = 2 };

// What every form shares: its caption, help topic, modal result and the hook
// its window listens on.
class Form {
 public:
  virtual ~Form() = default;

  std::string caption;
  int help_context = 0;

  int modal_result() const { return modal_result_; }
  bool closed() const { return modal_result_ != kModalNone; }
  // Setting a modal result closes the window.
  void SetModalResult(int result) {
    modal_result_ = result;
    NotifyChanged();
  }

  void set_on_changed(std::function<void()> on_changed) { on_changed_ = std::move(on_changed); }
  void NotifyChanged() {
    if (on_changed_) on_changed_();
  }

 private:
  int modal_result_ = kModalNone;
  std::function<void()> on_changed_;
};

}  // namespace webhoard
