// The command line's side of the user-interaction seam: message boxes become
// lines on stderr in the command line's own words, questions are asked on
// the terminal (or answered by --yes), the progress window becomes a
// progress line, and Ctrl-C presses the Cancel button between items.
#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "cli/command.h"
#include "common/prompter.h"
#include "forms/archive_run.h"

namespace webhoard::cli {

// Installs the Ctrl-C handler; Interrupted() tells whether it fired since.
void InstallInterruptHandler();
bool Interrupted();
void ClearInterruptForTesting();

class TerminalPrompter : public Prompter {
 public:
  TerminalPrompter(bool assume_yes, const Console& console);

  MessageResult ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                            int help_context) override;
  void ProcessPendingMessages() override;

  // Asks `question` on the terminal ("[y/N]"); --yes answers yes, and no
  // answer (the end of the input) is no.
  bool Ask(std::string_view question);
  // The next question of the shared dialog code gets `answer` without being
  // shown: the command has asked it in its own words already.
  void AnswerNextQuestion(bool answer) { next_answer_ = answer; }

  // Called once, at the first pending-message point after Ctrl-C.
  void set_on_interrupt(std::function<void()> on_interrupt) {
    on_interrupt_ = std::move(on_interrupt);
  }
  // Number of error boxes shown: a command that showed one did not succeed.
  int errors_shown() const { return errors_shown_; }

 private:
  bool assume_yes_;
  const Console& console_;
  std::optional<bool> next_answer_;
  std::function<void()> on_interrupt_;
  bool interrupt_delivered_ = false;
  int errors_shown_ = 0;
};

// Runs the archive window without a window: a progress line on stderr when
// the console asks for one, Ctrl-C as Cancel.
class TerminalModalHost : public ModalHost {
 public:
  TerminalModalHost(TerminalPrompter& prompter, const Console& console);
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

// A message-box text as one terminal line: its line breaks (and the blank
// lines between a box's paragraphs) become one blank each.
std::string OneLine(std::string_view text);

}  // namespace webhoard::cli
