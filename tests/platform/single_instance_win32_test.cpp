// The Windows single-instance test: one named mutex per program file name.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/single_instance.h"

namespace webhoard {
namespace {

TEST(SingleInstanceOnWindows, TheFirstStartOfEachProgramFileHoldsItsName) {
  const std::string name = "webhoard-test-" + std::to_string(::GetCurrentProcessId()) + ".exe";
  EXPECT_EQ(CheckForSingleInstance(name), InstanceTest::kFirst);
  EXPECT_EQ(CheckForSingleInstance(name), InstanceTest::kNotFirst);
  EXPECT_EQ(CheckForSingleInstance("other-" + name), InstanceTest::kFirst);
}

TEST(SingleInstanceOnWindows, TheFirstInstancesWindowIsFoundByItsTitle) {
  if (::FindWindowA(nullptr, "Webhoard") != nullptr) GTEST_SKIP() << "a Webhoard window is open";
  EXPECT_FALSE(BringFirstInstanceToTop());
  const HWND window = ::CreateWindowA("STATIC", "Webhoard", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr) GTEST_SKIP() << "no window can be made here";
  EXPECT_TRUE(BringFirstInstanceToTop());
  ::DestroyWindow(window);
}

}  // namespace
}  // namespace webhoard
