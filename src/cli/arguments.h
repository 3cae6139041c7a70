// The words of one command line, checked against the options the command
// accepts: "--name", "--name VALUE", "--name=VALUE" or a short "-h"; "--"
// ends the options, and every word after it is an operand.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cli/option_table.h"

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
  // UsageError for an option not among `options`, a value left out, a value
  // given to a flag, or an option of one value given twice.
  Arguments(const std::vector<std::string>& words, const std::vector<const Option*>& options);

  // True when the flag was given.
  bool Flag(std::string_view name) const;
  // The value of a single-valued option, or nullopt when absent; for an
  // option whose value may be left out, "" when given without one.
  std::optional<std::string> Value(std::string_view name) const;
  // All values of a repeatable option, in order.
  std::vector<std::string> Values(std::string_view name) const;
  // The next operand, or nullopt.
  std::optional<std::string> Operand();
  // UsageError naming the first operand nobody took.
  void ExpectNoMore() const;

 private:
  struct Given {
    const Option* option;
    std::string value;
  };
  std::vector<Given> given_;
  std::vector<std::string> operands_;
  std::size_t next_operand_ = 0;
};

// "yes"/"no" of a LINK OPTION.
bool ParseYesNo(const std::string& option, const std::string& value);

}  // namespace webhoard::cli
