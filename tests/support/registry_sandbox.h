// The system registry of a Windows build, made safe to test: while a
// RegistrySandbox lives, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this
// process are empty keys of their own (RegOverridePredefKey), deep inside
// the real user's key; they are removed with everything written to them when
// it ends. The real keys of the user and the machine are never touched.
#pragma once

#include <string>

namespace webhoard::testing {

class RegistrySandbox {
 public:
  RegistrySandbox();
  ~RegistrySandbox();
  RegistrySandbox(const RegistrySandbox&) = delete;
  RegistrySandbox& operator=(const RegistrySandbox&) = delete;

  // False when the system refused the stand-in roots.
  bool ready() const { return ready_; }

 private:
  std::string path_;  // below the real HKEY_CURRENT_USER
  bool ready_ = false;
};

}  // namespace webhoard::testing
