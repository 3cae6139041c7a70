// The command line's side of the user-interaction seam: message boxes become
// lines on stderr, questions are asked on the terminal (or answered Yes by
// --yes), the progress window becomes a progress line, and Ctrl-C presses
// the Cancel button between items.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "common/prompter.h"
#include "forms/archive_run.h"

namespace webhoard::cli {

// Installs the Ctrl-C handler; Interrupted() tells whether it fired since.
void InstallInterruptHandler();
bool Interrupted();
void ClearInterruptForTesting();

class TerminalPrompter : public Prompter {
 public:
  TerminalPrompter(bool assume_yes, std::FILE* in = stdin, std::FILE* out = stderr);

  MessageResult ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                            int help_context) override;
  void ProcessPendingMessages() override;

  // Called once, at the first pending-message point after Ctrl-C.
  void set_on_interrupt(std::function<void()> on_interrupt) {
    on_interrupt_ = std::move(on_interrupt);
  }
  // Number of error boxes shown: a command that showed one did not succeed.
  int errors_shown() const { return errors_shown_; }

 private:
  bool assume_yes_;
  std::FILE* in_;
  std::FILE* out_;
  std::function<void()> on_interrupt_;
  bool interrupt_delivered_ = false;
  int errors_shown_ = 0;
};

// Runs the archive window without a window: a progress line on stderr when
// it is a terminal, Ctrl-C as Cancel.
class TerminalModalHost : public ModalHost {
 public:
  TerminalModalHost(TerminalPrompter& prompter, std::FILE* out = stderr);
  void ShowModal(TExportForm& form) override;

 private:
  void DrawProgress(const TExportForm& form);

  TerminalPrompter& prompter_;
  std::FILE* out_;
  bool draw_;
  std::string last_line_;
};

// A message-box text as terminal lines: "\r\n" becomes "\n", and every
// other control byte but "\n" and tab is written as \xHH. Messages carry
// addresses, titles and file names from web servers and cache files; a
// control byte among them (ESC above all) must never reach a terminal raw,
// where it could move the cursor, retitle the window or hide the lines
// before it. Every text the command line shows goes through here.
std::string TerminalText(std::string_view text);

}  // namespace webhoard::cli
