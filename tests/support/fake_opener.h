// A stand-in for the desktop's opener of web pages, so tests drive the real
// ShellOpen and see what it handed over.
//
// On Linux it is an `xdg-open` script in a temporary folder that becomes the
// whole PATH while the object lives; `body` is shell script text run after
// the arguments are recorded (for example "exit 3"). On Windows it is the
// program associated with ".htm" pages: a batch file in the temporary folder
// that records its argument and then runs `body` as batch text; the previous
// association comes back when the object ends.
//
// With `install` false there is no opener at all (an empty PATH; on Windows
// an association with a program type that does not exist).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace webhoard::testing {

class FakeOpener {
 public:
  explicit FakeOpener(std::string_view body, bool install = true);
  ~FakeOpener();
  FakeOpener(const FakeOpener&) = delete;
  FakeOpener& operator=(const FakeOpener&) = delete;

  // What the opener recorded ("1\n<target>\n"), or nullopt when it never
  // ran. The Windows shell starts the opener and returns at once, so there
  // this waits a few seconds for the record to appear, unless told that the
  // opener is not expected.
  std::optional<std::string> RecordedArguments(bool wait_for_opener = true) const;
  // Whether the opener ran once, with `path` as its one argument: spelled
  // exactly so on Linux; on Windows naming the same file, since the shell
  // hands over its own spelling (backslashes, short names).
  bool Opened(const std::string& path) const;
  const TempDir& folder() const { return folder_; }

 private:
  TempDir folder_;
  // What the object replaced: PATH on Linux, the ".htm" association on
  // Windows (nullopt when there was none).
  std::optional<std::string> saved_;
};

}  // namespace webhoard::testing
