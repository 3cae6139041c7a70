// The words of one command line, taken option by option. Options are
// "--name" or "--name VALUE"; everything else is an operand.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace webhoard::cli {

// Bad usage: the command line cannot be understood (exit status 1).
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The work could not be done: unreadable input, a failed write (exit 2).
class WorkError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Ctrl-C ended the work before anything was changed (exit 130).
class InterruptedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Arguments {
 public:
  explicit Arguments(std::vector<std::string> words) : words_(std::move(words)) {}

  // True (and consumed) when the flag is present.
  bool Flag(const std::string& name);
  // The value after the option, or nullopt when absent; UsageError when the
  // option is last. Repeated options: each call takes the next one.
  std::optional<std::string> Value(const std::string& name);
  // All values of a repeatable option.
  std::vector<std::string> Values(const std::string& name);
  // An option whose value may be left out: nullopt when absent, "" when
  // given without a value (the next word is another option or missing).
  std::optional<std::string> OptionalValue(const std::string& name);
  // The next operand, or nullopt.
  std::optional<std::string> Operand();
  // UsageError naming the first word nobody took.
  void ExpectNoMore() const;

 private:
  std::vector<std::string> words_;
  std::vector<bool> used_ = std::vector<bool>(words_.size(), false);
};

// "yes"/"no" of a LINK OPTION.
bool ParseYesNo(const std::string& option, const std::string& value);

}  // namespace webhoard::cli
