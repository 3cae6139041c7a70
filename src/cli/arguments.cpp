#include "cli/arguments.h"

namespace webhoard::cli {
namespace {

const Option* FindOption(const std::vector<const Option*>& options, std::string_view name) {
  for (const Option* option : options) {
    if (option->name == name || (!option->short_name.empty() && option->short_name == name)) {
      return option;
    }
  }
  return nullptr;
}

bool LooksLikeOption(const std::string& word) {
  return word.size() > 1 && word[0] == '-';
}

}  // namespace

Arguments::Arguments(const std::vector<std::string>& words,
                     const std::vector<const Option*>& options) {
  bool options_ended = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (options_ended || !LooksLikeOption(word)) {
      operands_.push_back(word);
      continue;
    }
    if (word == "--") {
      options_ended = true;
      continue;
    }
    const std::size_t equals = word.rfind("--", 0) == 0 ? word.find('=') : std::string::npos;
    const std::string name = word.substr(0, equals);
    const Option* option = FindOption(options, name);
    if (option == nullptr) throw UsageError("unknown option " + name);
    std::optional<std::string> value;
    if (equals != std::string::npos) value = word.substr(equals + 1);
    switch (option->kind) {
      case OptionKind::kFlag:
        if (value) throw UsageError(name + " takes no value");
        break;
      case OptionKind::kValue:
      case OptionKind::kRepeatable:
        if (!value) {
          if (i + 1 >= words.size()) throw UsageError(name + " needs a value");
          value = words[++i];
        }
        break;
      case OptionKind::kOptionalValue:
        if (!value && i + 1 < words.size() && !LooksLikeOption(words[i + 1])) value = words[++i];
        break;
    }
    const bool single =
        option->kind == OptionKind::kValue || option->kind == OptionKind::kOptionalValue;
    if (single) {
      for (const Given& earlier : given_) {
        if (earlier.option == option) throw UsageError(std::string(option->name) + " given twice");
      }
    }
    given_.push_back({option, value.value_or("")});
  }
}

bool Arguments::Flag(std::string_view name) const {
  return Value(name).has_value();
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  for (const Given& given : given_) {
    if (given.option->name == name) return given.value;
  }
  return std::nullopt;
}

std::vector<std::string> Arguments::Values(std::string_view name) const {
  std::vector<std::string> values;
  for (const Given& given : given_) {
    if (given.option->name == name) values.push_back(given.value);
  }
  return values;
}

std::optional<std::string> Arguments::Operand() {
  if (next_operand_ >= operands_.size()) return std::nullopt;
  return operands_[next_operand_++];
}

void Arguments::ExpectNoMore() const {
  if (next_operand_ < operands_.size()) {
    throw UsageError("unexpected argument " + operands_[next_operand_]);
  }
}

bool ParseYesNo(const std::string& option, const std::string& value) {
  if (value == "yes") return true;
  if (value == "no") return false;
  throw UsageError(option + " takes yes or no, not \"" + value + "\"");
}

}  // namespace webhoard::cli
