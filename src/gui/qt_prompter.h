// The prompter of the windows: real message boxes (with a Help button that
// opens the box's topic and leaves the box open), the event loop for
// "pending messages", the hourglass cursor and the system's folder and file
// pickers.
#pragma once

#include <QString>

#include "common/prompter.h"

class QWidget;

namespace webhoard::gui {

class QtPrompter final : public Prompter {
 public:
  MessageResult ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                            int help_context) override;
  void ProcessPendingMessages() override;
  void SetBusyCursor(bool busy) override;
  std::optional<std::string> PickFolder(std::string_view start) override;
  std::optional<std::string> PickFile(std::string_view start, std::string_view filter) override;

 private:
  int busy_depth_ = 0;
};

// The caption of every message box: the program's name.
inline constexpr char kMessageBoxCaption[] = "Webhoard";

// The Qt name filter of a written filter "Description|PATTERN;PATTERN".
QString FileDialogFilter(std::string_view filter);

}  // namespace webhoard::gui
