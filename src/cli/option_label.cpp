#include "cli/option_label.h"

namespace webhoard::cli {

std::string OptionLabel(const Option& option) {
  std::string label;
  if (!option.short_name.empty()) label += std::string(option.short_name) + ", ";
  label += option.name;
  switch (option.kind) {
    case OptionKind::kFlag:
      break;
    case OptionKind::kValue:
    case OptionKind::kRepeatable:
      label += " " + std::string(option.value);
      break;
    case OptionKind::kOptionalValue:
      label += " [" + std::string(option.value) + "]";
      break;
  }
  return label;
}

}  // namespace webhoard::cli
