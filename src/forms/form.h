// What every dialog's behaviour shares: its caption, help topic and modal
// result, and the hook its window listens on. A form owns its control models
// (controls.h) and calls NotifyChanged() when they changed; the Qt windows
// mirror them onto widgets then, tests read them directly.
#pragma once

#include <functional>
#include <string>

namespace webhoard {

// Modal results of a dialog.
enum ModalResult : int { kModalNone = 0, kModalOk = 1, kModalCancel = 2 };

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
