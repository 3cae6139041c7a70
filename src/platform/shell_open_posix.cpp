// ShellOpen on Linux and other POSIX systems: `xdg-open` started directly
// (posix_spawnp, never through /bin/sh), so no byte of the target can be
// read as a command, option or shell syntax.
//
// xdg-open's exit statuses and what they become:
//   0 done                         -> success
//   1 bad command line             -> general failure
//   2 a named file does not exist  -> file not found
//   3 no tool can open it          -> no associated program
//   4 the opening program failed   -> general failure
//   5 the file may not be read     -> access denied
//   127 (a shell's "not found")    -> no associated program
// An opener that cannot be found on PATH (or run) is "no associated program"
// as well: nothing on this system can open the target.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "platform/shell_open.h"

extern char** environ;

namespace webhoard {
namespace {

constexpr const char* kOpener = "xdg-open";

// "http:", "file:", "mailto:" and the like: handed over as they are. A
// scheme has at least two characters, so that a drive letter is no scheme.
bool LooksLikeAddress(const std::string& target) {
  const auto colon = target.find(':');
  if (colon == std::string::npos || colon < 2) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const char c = target[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!(letter || (i > 0 && other))) return false;
  }
  return true;
}

// The reasons the shell itself would give for a local path, checked before
// any program is started.
int CheckLocalPath(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) return kShellErrorFileNotFound;
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    return ::access(path.c_str(), R_OK) == 0 ? 0 : kShellErrorAccessDenied;
  }
  if (errno == EACCES) return kShellErrorAccessDenied;
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return kShellErrorFileNotFound;
  const std::string folder = path.substr(0, slash);
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kShellErrorFileNotFound
                                                                 : kShellErrorPathNotFound;
}

int ResultFromExitStatus(int status) {
  if (!WIFEXITED(status)) return kShellErrorGeneral;  // killed by a signal
  switch (WEXITSTATUS(status)) {
    case 0:
      return kShellOpenSucceeded;
    case 2:
      return kShellErrorFileNotFound;
    case 3:
      return kShellErrorNoAssociation;
    case 5:
      return kShellErrorAccessDenied;
    case 127:
      return kShellErrorNoAssociation;  // a spawner that reports exec failure this way
    default:
      return kShellErrorGeneral;
  }
}

int ResultFromSpawnError(int error) {
  switch (error) {
    case ENOMEM:
      return kShellErrorOutOfMemory;
    case EAGAIN:
      return kShellErrorOutOfResources;
    default:
      return kShellErrorNoAssociation;  // ENOENT, EACCES, ENOEXEC: no usable opener
  }
}

// Builds the spawn attributes: default signal handling and an unblocked
// signal mask for the opener (the program may ignore SIGPIPE or block
// signals; the browser it starts must not inherit that), and its own process
// group so that a Ctrl-C meant for a command-line run leaves the browser be.
// The opener gets /dev/null for its standard streams: a browser that lives
// on must not hold the program's terminal or output pipes (a command-line
// run in a pipeline would not end before the browser closes); a refusal is
// explained by the caller in its own words.
class SpawnSetup {
 public:
  SpawnSetup() {
    ok_ = ::posix_spawnattr_init(&attr_) == 0 && ::posix_spawn_file_actions_init(&actions_) == 0;
    if (!ok_) return;
    sigset_t defaults;
    sigset_t empty;
    sigfillset(&defaults);
    sigdelset(&defaults, SIGKILL);
    sigdelset(&defaults, SIGSTOP);
    sigemptyset(&empty);
    ok_ =
        ::posix_spawnattr_setsigdefault(&attr_, &defaults) == 0 &&
        ::posix_spawnattr_setsigmask(&attr_, &empty) == 0 &&
        ::posix_spawnattr_setpgroup(&attr_, 0) == 0 &&
        ::posix_spawnattr_setflags(
            &attr_, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP) == 0 &&
        ::posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) ==
            0 &&
        ::posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) ==
            0 &&
        ::posix_spawn_file_actions_addopen(&actions_, STDERR_FILENO, "/dev/null", O_WRONLY, 0) == 0;
  }
  ~SpawnSetup() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attr_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  bool ok() const { return ok_; }
  const posix_spawnattr_t* attr() const { return &attr_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attr_{};
  posix_spawn_file_actions_t actions_{};
  bool ok_ = false;
};

// Waits for the opener up to the limit. Answers its result, or success when
// it is still running (it has started the program that shows the target).
int WaitForOpener(pid_t pid, const ShellOpenOptions& options) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + options.wait_limit;
  auto pause = std::chrono::milliseconds(2);
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return ResultFromExitStatus(status);
    if (done < 0 && errno != EINTR) {
      // ECHILD: the program reaps its children itself (SIGCHLD ignored); the
      // opener was started and its outcome is unknowable.
      return kShellOpenSucceeded;
    }
    if (Clock::now() >= deadline) break;
    if (options.while_waiting) options.while_waiting();
    std::this_thread::sleep_for(pause);
    if (pause < std::chrono::milliseconds(50)) pause *= 2;
  }
  // Still running: let it run, and collect its exit status when it ends so
  // that it does not linger as a zombie.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return kShellOpenSucceeded;
}

}  // namespace

int ShellOpen(const std::string& target, const ShellOpenOptions& options) {
  std::string argument = target;
  if (!LooksLikeAddress(target)) {
    if (const int refused = CheckLocalPath(target); refused != 0) return refused;
    // A relative name beginning with "-" would read as an option.
    if (argument.front() == '-') argument.insert(0, "./");
  }
  if (argument.find('\0') != std::string::npos) return kShellErrorFileNotFound;

  SpawnSetup setup;
  if (!setup.ok()) return kShellErrorOutOfResources;
  std::string program = kOpener;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = 0;
  const int error = ::posix_spawnp(&pid, kOpener, setup.actions(), setup.attr(), argv, environ);
  if (error != 0) return ResultFromSpawnError(error);
  return WaitForOpener(pid, options);
}

}  // namespace webhoard
