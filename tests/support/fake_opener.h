// A stand-in for the desktop's opener: an `xdg-open` script in a temporary
// folder that becomes the whole PATH while the object lives. The script
// records its arguments (count, then one per line) and then runs the body it
// was given, so tests drive the real spawning and exit-status handling.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "common/file_util.h"
#include "support/environment.h"
#include "support/temp_dir.h"

namespace webhoard::testing {

class FakeOpener {
 public:
  // `body` is shell script text run after the arguments are recorded, for
  // example "exit 3". With `install` false the PATH folder stays empty: no
  // opener at all.
  explicit FakeOpener(std::string_view body, bool install = true) {
    if (const char* old = std::getenv("PATH")) old_path_ = old;
    if (install) {
      const std::string script = "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > '" +
                                 folder_.File("args") + "'\n" + std::string(body) + "\n";
      const std::string path = folder_.Write("xdg-open", script);
      ::chmod(path.c_str(), 0755);
    }
    testing::SetEnvironment("PATH", folder_.path().c_str());
  }
  ~FakeOpener() {
    if (old_path_) {
      testing::SetEnvironment("PATH", old_path_->c_str());
    } else {
      testing::SetEnvironment("PATH", nullptr);
    }
  }
  FakeOpener(const FakeOpener&) = delete;
  FakeOpener& operator=(const FakeOpener&) = delete;

  // What the script recorded ("1\n<target>\n"), or nullopt when it never ran.
  std::optional<std::string> RecordedArguments() const {
    return ReadFileBytes(folder_.File("args"));
  }
  const TempDir& folder() const { return folder_; }

 private:
  TempDir folder_;
  std::optional<std::string> old_path_;
};

}  // namespace webhoard::testing
