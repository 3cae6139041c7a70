// The options of the command line, described once: the parser takes its
// words from here, and --help, the manual page and the shell completion are
// written from the same descriptions, so the four cannot disagree.
#pragma once

#include <string_view>
#include <vector>

namespace webhoard::cli {

enum class OptionKind {
  kFlag,           // --yes
  kValue,          // --to FOLDER, once
  kRepeatable,     // --domain NAME, any number of times
  kOptionalValue,  // --ie [FOLDER]: the next word when it is no option
};

// What the shell completes after an option that takes a value (or as an
// operand).
enum class ValueHint { kNone, kFile, kFolder, kWords };

struct Option {
  std::string_view name;        // "--to"
  std::string_view short_name;  // "-h", or empty
  OptionKind kind;
  std::string_view value;  // the value's placeholder: "FOLDER"
  std::string_view help;   // lines separated by "\n"
  ValueHint hint = ValueHint::kNone;
  std::string_view words = {};  // kWords: the values, blank-separated
};

// Options shown together under one heading ("Filters").
struct OptionGroup {
  std::string_view title;
  std::vector<Option> options;
  std::string_view note = {};  // a paragraph after the options
};

}  // namespace webhoard::cli
