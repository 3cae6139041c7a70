#include <sys/stat.h>

#include <cstdlib>

#include "common/file_util.h"
#include "support/environment.h"
#include "support/fake_opener.h"

namespace webhoard::testing {

FakeOpener::FakeOpener(std::string_view body, bool install) {
  if (const char* old = std::getenv("PATH")) saved_ = old;
  if (install) {
    const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" +
                               folder_.File("args") + "'\n" + std::string(body) + "\n";
    const std::string path = folder_.Write("xdg-open", script);
    ::chmod(path.c_str(), 0755);
  }
  SetEnvironment("PATH", folder_.path().c_str());
}

FakeOpener::~FakeOpener() {
  SetEnvironment("PATH", saved_ ? saved_->c_str() : nullptr);
}

std::optional<std::string> FakeOpener::RecordedArguments(bool /*wait_for_opener*/) const {
  return ReadFileBytes(folder_.File("args"));
}

bool FakeOpener::Opened(const std::string& path) const {
  return RecordedArguments() == "1\n" + path + "\n";
}

}  // namespace webhoard::testing
