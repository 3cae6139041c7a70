// A Prompter for tests: records every message box and answers from a script.
#pragma once

#include <deque>
#include <functional>
#include <optional>
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

  // Queues the choice of the next folder or file picker (nullopt: the user
  // cancels). Without a queued choice a picker is cancelled. The pickers
  // record where they started.
  void ChooseFolder(std::optional<std::string> folder) { folders_.push_back(std::move(folder)); }
  void ChooseFile(std::optional<std::string> file) { files_.push_back(std::move(file)); }

  std::optional<std::string> PickFolder(std::string_view start) override {
    picker_starts_.emplace_back(start);
    return Next(folders_);
  }
  std::optional<std::string> PickFile(std::string_view start, std::string_view filter) override {
    picker_starts_.emplace_back(start);
    file_filters_.emplace_back(filter);
    return Next(files_);
  }

  const std::vector<RecordedMessage>& messages() const { return messages_; }
  int pending_message_calls() const { return pending_message_calls_; }
  bool busy() const { return busy_; }
  const std::vector<std::string>& picker_starts() const { return picker_starts_; }
  const std::vector<std::string>& file_filters() const { return file_filters_; }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& script) {
    if (script.empty()) return std::nullopt;
    std::optional<std::string> next = std::move(script.front());
    script.pop_front();
    return next;
  }

  std::deque<MessageResult> answers_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<std::string>> files_;
  std::vector<std::string> picker_starts_;
  std::vector<std::string> file_filters_;
  std::function<void()> on_pending_;
  std::vector<RecordedMessage> messages_;
  int pending_message_calls_ = 0;
  bool busy_ = false;
};

}  // namespace webhoard::testing
