// Environment variables of the test process, the same call on every system.
#pragma once

namespace webhoard::testing {

// Sets `name` to `value`, or removes it when `value` is null.
void SetEnvironment(const char* name, const char* value);

}  // namespace webhoard::testing
