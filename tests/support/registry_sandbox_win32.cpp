#include <windows.h>

#include "support/registry_sandbox.h"

namespace webhoard::testing {
namespace {

// Points `root` at a new key below the real HKEY_CURRENT_USER.
bool OverrideRoot(HKEY root, const std::string& path) {
  HKEY stand_in = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &stand_in, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool done = ::RegOverridePredefKey(root, stand_in) == ERROR_SUCCESS;
  ::RegCloseKey(stand_in);  // the override keeps its own handle
  return done;
}

}  // namespace

RegistrySandbox::RegistrySandbox()
    : path_("Software\\Webhoard test sandbox " + std::to_string(::GetCurrentProcessId())) {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());  // left by a crashed run
  ready_ = OverrideRoot(HKEY_LOCAL_MACHINE, path_ + "\\machine") &&
           OverrideRoot(HKEY_CURRENT_USER, path_ + "\\user");
}

RegistrySandbox::~RegistrySandbox() {
  ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  ::RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

}  // namespace webhoard::testing
