#include <windows.h>

#include "platform/single_instance.h"

namespace webhoard {
namespace {

constexpr char kMutexSuffix[] = "-- Mutex identifier Tarnwell function CheckForSingleInstance()";
constexpr char kMainWindowTitle[] = "Webhoard";

}  // namespace

InstanceTest CheckForSingleInstance(const std::string& program_file_name) {
  const std::string name = program_file_name + kMutexSuffix;
  if (HANDLE existing = ::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name.c_str())) {
    ::CloseHandle(existing);
    return InstanceTest::kNotFirst;
  }
  // Held, never closed: the system frees it when the process ends.
  ::CreateMutexA(nullptr, FALSE, name.c_str());
  return InstanceTest::kFirst;
}

bool BringFirstInstanceToTop() {
  HWND window = ::FindWindowA(nullptr, kMainWindowTitle);
  if (window == nullptr) return false;
  ::SetForegroundWindow(window);
  return true;
}

}  // namespace webhoard
