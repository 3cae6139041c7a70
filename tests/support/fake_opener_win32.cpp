#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "common/file_util.h"
#include "support/fake_opener.h"

namespace webhoard::testing {
namespace {

// Writing below HKEY_CLASSES_ROOT lands in the user's own classes for an
// ordinary user, and in the machine's for an administrator (and in Wine).
constexpr char kPageType[] = ".htm";

std::string ProgramType() {
  return "Webhoard.TestOpener." + std::to_string(::GetCurrentProcessId());
}

std::optional<std::string> DefaultValue(const std::string& key) {
  char text[1024];
  DWORD bytes = sizeof text;
  if (::RegGetValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, text,
                     &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(text, bytes > 0 ? bytes - 1 : 0);
}

void SetDefaultValue(const std::string& key, const std::string& value) {
  ::RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                    static_cast<DWORD>(value.size() + 1));
}

}  // namespace

FakeOpener::FakeOpener(std::string_view body, bool install) {
  saved_ = DefaultValue(kPageType);
  SetDefaultValue(kPageType, ProgramType());
  if (!install) return;  // a program type without a command: nothing opens
  const std::string args = "\"" + folder_.File("args") + "\"";
  const std::string batch =
      folder_.Write("opener.cmd", "@echo off\r\n> " + args + " echo 1\r\n>> " + args +
                                      " echo %~1\r\n" + std::string(body) + "\r\n");
  // "call" keeps cmd from taking the quotes around the batch file's name
  // for quotes around the whole command.
  SetDefaultValue(ProgramType() + "\\shell\\open\\command",
                  "cmd.exe /d /c call \"" + batch + "\" \"%1\"");
}

FakeOpener::~FakeOpener() {
  if (saved_) {
    SetDefaultValue(kPageType, *saved_);
  } else {
    ::RegDeleteKeyValueA(HKEY_CLASSES_ROOT, kPageType, nullptr);
  }
  ::RegDeleteTreeA(HKEY_CLASSES_ROOT, ProgramType().c_str());
}

std::optional<std::string> FakeOpener::RecordedArguments(bool wait_for_opener) const {
  const auto until = std::chrono::steady_clock::now() +
                     (wait_for_opener ? std::chrono::seconds(10) : std::chrono::seconds(0));
  for (;;) {
    auto text = ReadFileBytes(folder_.File("args"));
    // The batch file may still be writing: wait for both lines.
    if (text && std::count(text->begin(), text->end(), '\n') >= 2) {
      std::erase(*text, '\r');
      return text;
    }
    if (std::chrono::steady_clock::now() >= until) return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

bool FakeOpener::Opened(const std::string& path) const {
  const auto recorded = RecordedArguments();
  if (!recorded || !recorded->starts_with("1\n") || !recorded->ends_with("\n")) return false;
  const std::string opened = recorded->substr(2, recorded->size() - 3);
  std::error_code error;
  return std::filesystem::equivalent(opened, path, error);
}

}  // namespace webhoard::testing
