#include "cli/terminal.h"

#include <cstring>

#include "cli/dialog_words.h"
#include "platform/console.h"

namespace webhoard::cli {

void InstallInterruptHandler() {
  InstallInterruptFlag();
}

bool Interrupted() {
  return InterruptFlagSet();
}
void ClearInterruptForTesting() {
  ClearInterruptFlag();
}

std::string TerminalText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\n' || c == '\t' || (byte >= 0x20 && byte != 0x7F)) {
      out.push_back(c);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    }
  }
  return out;
}

std::string OneLine(std::string_view text) {
  std::string line;
  bool broken = false;
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      broken = true;
      continue;
    }
    if (broken && !line.empty() && line.back() != ' ') line.push_back(' ');
    broken = false;
    line.push_back(c);
  }
  return TerminalText(line);
}

void Complain(const Console& console, std::string_view text) {
  std::fprintf(console.err, "webhoard: %.*s: %s\n", static_cast<int>(console.command.size()),
               console.command.data(), OneLine(text).c_str());
}

TerminalPrompter::TerminalPrompter(bool assume_yes, const Console& console)
    : assume_yes_(assume_yes), console_(console) {}

bool TerminalPrompter::Ask(std::string_view question) {
  std::FILE* out = console_.err;
  std::fprintf(out, "%s [y/N] ", OneLine(question).c_str());
  if (assume_yes_) {
    std::fprintf(out, "yes (--yes)\n");
    return true;
  }
  std::fflush(out);
  char line[64] = {};
  if (std::fgets(line, sizeof line, console_.in) == nullptr) {
    std::fprintf(out, "\n");
    return false;  // no one to answer: the safe choice
  }
  return line[0] == 'y' || line[0] == 'Y';
}

MessageResult TerminalPrompter::ShowMessage(std::string_view text, MessageKind kind,
                                            unsigned buttons, int /*help_context*/) {
  const bool question = (buttons & kButtonYes) != 0;
  if (question && next_answer_) {
    const bool answer = *next_answer_;
    next_answer_.reset();
    return answer ? MessageResult::kYes : MessageResult::kNo;
  }
  const CommandLineWords words = WordsOfDialog(text);
  if (kind == MessageKind::kError) {
    ++errors_shown_;
    Complain(console_, words.text);
  } else if (kind == MessageKind::kWarning) {
    Complain(console_, "warning: " + words.text);
  } else if (!question) {
    std::fprintf(console_.err, "%s\n", words.text.c_str());
  }
  if (!question) return MessageResult::kOk;
  // --yes means "do not open the index": the question is not even asked.
  if (words.opens_index && assume_yes_) return MessageResult::kNo;
  return Ask(words.text) ? MessageResult::kYes : MessageResult::kNo;
}

void TerminalPrompter::ProcessPendingMessages() {
  if (Interrupted() && !interrupt_delivered_) {
    interrupt_delivered_ = true;
    if (on_interrupt_) on_interrupt_();
  }
}

TerminalModalHost::TerminalModalHost(TerminalPrompter& prompter, const Console& console)
    : prompter_(prompter), out_(console.err), draw_(console.progress) {}

void TerminalModalHost::ShowModal(TExportForm& form) {
  prompter_.set_on_interrupt([&form] { form.CancelButtonClick(); });
  form.set_on_changed([this, &form] { DrawProgress(form); });
  form.FormCreate();
  if (form.Timer1.enabled) form.Timer1Timer();
  // A window left idle (the folder could not be made) waits for Cancel.
  if (!form.closed()) form.CancelButtonClick();
  if (draw_ && !last_line_.empty()) std::fprintf(out_, "\n");
  form.set_on_changed(nullptr);
  prompter_.set_on_interrupt(nullptr);
}

void TerminalModalHost::DrawProgress(const TExportForm& form) {
  if (!draw_ || form.closed()) return;
  constexpr int kWidth = 30;
  const int filled = form.Gauge1.position * kWidth / 100;
  std::string line =
      form.Label4.caption + " [" + std::string(static_cast<std::size_t>(filled), '#') +
      std::string(static_cast<std::size_t>(kWidth - filled), ' ') + "] " + form.Label6.caption;
  if (line == last_line_) return;
  last_line_ = line;
  std::fprintf(out_, "\r%-70s", TerminalText(line).c_str());
  std::fflush(out_);
}

}  // namespace webhoard::cli
