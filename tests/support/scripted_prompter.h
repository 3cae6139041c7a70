// A Prompter for tests: records every message box and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/prompter.h"

namespace webhoard::testing {

struct RecordedMessage {
  std::string text;
  MessageKind kind;
  unsigned buttons;
  int help_context;
};

class ScriptedPrompter : public Prompter {
 public:
  // Queues the answer of the next message box. Without a queued answer a box
  // answers Yes when it has a Yes button, else OK.
  void Answer(MessageResult result) { answers_.push_back(result); }

  MessageResult ShowMessage(std::string_view text, MessageKind kind, unsigned buttons,
                            int help_context) override {
    messages_.push_back({std::string(text), kind, buttons, help_context});
    if (!answers_.empty()) {
      const MessageResult r = answers_.front();
      answers_.pop_front();
      return r;
    }
    return (buttons & kButtonYes) != 0 ? MessageResult::kYes : MessageResult::kOk;
  }

  // Runs whenever the code under test lets pending messages run: where a
  // test presses a button "while the window is up".
  void OnPendingMessages(std::function<void()> hook) { on_pending_ = std::move(hook); }

  void ProcessPendingMessages() override {
    ++pending_message_calls_;
    if (on_pending_) on_pending_();
  }
  void SetBusyCursor(bool busy) override { busy_ = busy; }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  int pending_message_calls() const { return pending_message_calls_; }
  bool busy() const { return busy_; }

 private:
  std::deque<MessageResult> answers_;
  std::function<void()> on_pending_;
  std::vector<RecordedMessage> messages_;
  int pending_message_calls_ = 0;
  bool busy_ = false;
};

}  // namespace webhoard::testing
