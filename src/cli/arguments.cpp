#include "cli/arguments.h"

namespace webhoard::cli {

bool Arguments::Flag(const std::string& name) {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (!used_[i] && words_[i] == name) {
      used_[i] = true;
      return true;
    }
  }
  return false;
}

std::optional<std::string> Arguments::Value(const std::string& name) {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (used_[i]) continue;
    if (words_[i] == name) {
      if (i + 1 >= words_.size() || used_[i + 1]) throw UsageError(name + " needs a value");
      used_[i] = used_[i + 1] = true;
      return words_[i + 1];
    }
    if (words_[i].rfind(name + "=", 0) == 0) {
      used_[i] = true;
      return words_[i].substr(name.size() + 1);
    }
  }
  return std::nullopt;
}

std::vector<std::string> Arguments::Values(const std::string& name) {
  std::vector<std::string> values;
  while (auto value = Value(name)) values.push_back(*value);
  return values;
}

std::optional<std::string> Arguments::OptionalValue(const std::string& name) {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (used_[i]) continue;
    if (words_[i] == name) {
      used_[i] = true;
      if (i + 1 < words_.size() && !used_[i + 1] && words_[i + 1].rfind("--", 0) != 0) {
        used_[i + 1] = true;
        return words_[i + 1];
      }
      return std::string();
    }
    if (words_[i].rfind(name + "=", 0) == 0) {
      used_[i] = true;
      return words_[i].substr(name.size() + 1);
    }
  }
  return std::nullopt;
}

std::optional<std::string> Arguments::Operand() {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (!used_[i] && (words_[i].rfind("--", 0) != 0 || words_[i] == "--")) {
      used_[i] = true;
      return words_[i];
    }
  }
  return std::nullopt;
}

void Arguments::ExpectNoMore() const {
  for (std::size_t i = 0; i < words_.size(); ++i) {
    if (!used_[i]) {
      throw UsageError(words_[i].rfind("--", 0) == 0 ? "unknown option " + words_[i]
                                                     : "unexpected argument " + words_[i]);
    }
  }
}

bool ParseYesNo(const std::string& option, const std::string& value) {
  if (value == "yes") return true;
  if (value == "no") return false;
  throw UsageError(option + " takes yes or no, not \"" + value + "\"");
}

}  // namespace webhoard::cli
