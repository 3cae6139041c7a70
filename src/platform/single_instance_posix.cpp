#include "platform/single_instance.h"

namespace webhoard {

InstanceTest CheckForSingleInstance(const std::string& /*program_file_name*/) {
  return InstanceTest::kNotHandledHere;
}

bool BringFirstInstanceToTop() { return false; }

}  // namespace webhoard
