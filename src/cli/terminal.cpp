#include "cli/terminal.h"

#include <cstring>

#include "platform/console.h"

namespace webhoard::cli {
namespace {

const char* KindWord(MessageKind kind) {
  switch (kind) {
    case MessageKind::kInformation:
      return "";
    case MessageKind::kWarning:
      return "warning: ";
    case MessageKind::kError:
      return "error: ";
    case MessageKind::kConfirmation:
      return "";
  }
  return "";
}

}  // namespace

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

TerminalPrompter::TerminalPrompter(bool assume_yes, std::FILE* in, std::FILE* out)
    : assume_yes_(assume_yes), in_(in), out_(out) {}

MessageResult TerminalPrompter::ShowMessage(std::string_view text, MessageKind kind,
                                            unsigned buttons, int /*help_context*/) {
  if (kind == MessageKind::kError) ++errors_shown_;
  std::fprintf(out_, "%s%s\n", KindWord(kind), TerminalText(text).c_str());
  if ((buttons & kButtonYes) == 0) return MessageResult::kOk;
  if (assume_yes_) {
    std::fprintf(out_, "> yes (--yes)\n");
    return MessageResult::kYes;
  }
  std::fprintf(out_, "[y/N] ");
  std::fflush(out_);
  char line[64] = {};
  if (std::fgets(line, sizeof line, in_) == nullptr) {
    std::fprintf(out_, "\n");
    return MessageResult::kNo;  // no one to answer: the safe choice
  }
  return (line[0] == 'y' || line[0] == 'Y') ? MessageResult::kYes : MessageResult::kNo;
}

void TerminalPrompter::ProcessPendingMessages() {
  if (Interrupted() && !interrupt_delivered_) {
    interrupt_delivered_ = true;
    if (on_interrupt_) on_interrupt_();
  }
}

TerminalModalHost::TerminalModalHost(TerminalPrompter& prompter, std::FILE* out)
    : prompter_(prompter), out_(out), draw_(IsTerminal(out)) {}

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
