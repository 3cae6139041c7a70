#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "common/file_util.h"
#include "support/program_run.h"
#include "support/temp_dir.h"

namespace webhoard::testing {

ProgramOutcome RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                          const EnvironmentVariables& environment, std::string_view input) {
  TempDir io;
  const std::string in = io.Write("in", input);
  const std::string out = io.File("out");
  const std::string err = io.File("err");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
    const int in_fd = ::open(in.c_str(), O_RDONLY);
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in_fd < 0 || out_fd < 0 || err_fd < 0) ::_exit(126);
    ::dup2(in_fd, 0);
    ::dup2(out_fd, 1);
    ::dup2(err_fd, 2);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ProgramOutcome outcome;
  int status = 0;
  if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    outcome.status = WEXITSTATUS(status);
  }
  outcome.out = ReadFileBytes(out).value_or("");
  outcome.err = ReadFileBytes(err).value_or("");
  return outcome;
}

}  // namespace webhoard::testing
