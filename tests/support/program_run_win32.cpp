#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "common/file_util.h"
#include "support/environment.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace webhoard::testing {
namespace {

// One argument as the C runtime's command-line parser reads it back:
// quoted when it holds blanks or quotes or is empty; backslashes doubled
// only before a quote.
std::string Quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return ::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}

// Sets variables for the child, which inherits this process's environment,
// and puts the old values back afterwards.
class InheritedEnvironment {
 public:
  explicit InheritedEnvironment(const EnvironmentVariables& variables) {
    for (const auto& [name, value] : variables) {
      const char* old = std::getenv(name.c_str());
      saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
      SetEnvironment(name.c_str(), value.c_str());
      ::SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
  }
  ~InheritedEnvironment() {
    for (const auto& [name, value] : saved_) {
      SetEnvironment(name.c_str(), value ? value->c_str() : nullptr);
      ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }
  }

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const EnvironmentVariables& environment, std::string_view input) {
  TempDir io;
  const std::string in = io.Write("in", input);
  std::string command_line = Quoted(program);
  for (const std::string& argument : arguments) command_line += " " + Quoted(argument);
  ProgramOutcome outcome;
  {
    InheritedEnvironment set(environment);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inheritable(in, GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = Inheritable(io.File("out"), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = Inheritable(io.File("err"), GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    if (::CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &startup, &process) != 0) {
      ::WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 0;
      if (::GetExitCodeProcess(process.hProcess, &code) != 0) outcome.status = static_cast<int>(code);
      ::CloseHandle(process.hThread);
      ::CloseHandle(process.hProcess);
    }
    for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
      if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
    }
  }
  outcome.out = WithoutCarriageReturns(ReadFileBytes(io.File("out")).value_or(""));
  outcome.err = WithoutCarriageReturns(ReadFileBytes(io.File("err")).value_or(""));
  return outcome;
}

}  // namespace webhoard::testing
