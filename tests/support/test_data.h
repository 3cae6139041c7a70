// Where the tests find files they did not make themselves: the project's own
// fixtures in tests/data (always there), and the real browser samples of
// ../shared/testdata, read in place and absent from a fresh clone.
#pragma once

#include <string>
#include <string_view>

namespace webhoard::testing {

// Path of a file or folder below tests/data (WEBHOARD_TEST_DATA).
std::string TestData(std::string_view relative);

// Path of a real sample below the shared samples folder
// (WEBHOARD_SHARED_TESTDATA, normally ../shared/testdata). When it is not
// there the running test is marked skipped with a message naming the missing
// folder and the answer is empty; the caller returns at once:
//   const std::string index = SharedSample("msie/grr-History-index.dat");
//   if (index.empty()) return;
// Called from SetUp, the skip also keeps the test body from running.
std::string SharedSample(std::string_view relative);

}  // namespace webhoard::testing
