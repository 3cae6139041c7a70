// The one seam between the program's behaviour and its user: message boxes,
// "let pending window messages run", the busy cursor and the pickers. The Qt
// windows answer through real dialogs, the command line through the terminal,
// and tests through a scripted fake (tests/support/scripted_prompter.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace webhoard {

enum class MessageKind { kInformation, kWarning, kError, kConfirmation };

// Button sets of a message box, combined with |.
enum MessageButtons : unsigned {
  kButtonOk = 1u << 0,
  kButtonCancel = 1u << 1,
  kButtonYes = 1u << 2,
  kButtonNo = 1u << 3,
  kButtonHelp = 1u << 4,
};

// The button that closed the box (Help opens help and does not close it).
enum class MessageResult { kOk, kCancel, kYes, kNo };

class Prompter {
 public:
  virtual ~Prompter() = default;

  // Shows a modal message box and answers the button pressed. `text` uses
  // "\r\n" for line breaks; help_context 0 means no help topic.
  virtual MessageResult ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                                    int help_context = 0) = 0;

  // Lets the user interface serve pending events (repaint, Cancel buttons).
  virtual void ProcessPendingMessages() = 0;

  // The hourglass cursor on or off.
  virtual void SetBusyCursor(bool /*busy*/) {}

  // A folder picker starting at `start`; nullopt when the user cancels.
  virtual std::optional<std::string> PickFolder(std::string_view /*start*/) { return std::nullopt; }

  // A file-open dialog starting at `start` that accepts only existing files.
  // `filter` is "Description|pattern;pattern" ("Netscape FAT file (FAT,
  // FAT.DB)|FAT;FAT.DB"); nullopt when the user cancels.
  virtual std::optional<std::string> PickFile(std::string_view /*start*/,
                                              std::string_view /*filter*/) {
    return std::nullopt;
  }
};

// A prompter that asks nothing: every box answers its default (Yes, else OK),
// and pending messages are ignored. For batch use and tests that do not care.
class SilentPrompter final : public Prompter {
 public:
  MessageResult ShowMessage(std::string_view, MessageKind, unsigned buttons, int) override {
    return (buttons & kButtonYes) != 0 ? MessageResult::kYes : MessageResult::kOk;
  }
  void ProcessPendingMessages() override {}
};

}  // namespace webhoard
