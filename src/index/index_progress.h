// Where index building reports its progress: a status text and a whole
// number from 0 to 100. In an archive run these are the progress window's
// Label4 and SetProgress, which also let pending window messages run; either
// may be left empty.
#pragma once

#include <functional>
#include <string>

namespace webhoard {

struct IndexProgress {
  std::function<void(const std::string&)> set_phase;
  std::function<void(int)> set_progress;

  void Phase(const std::string& text) const {
    if (set_phase) set_phase(text);
  }
  void Progress(int percent) const {
    if (set_progress) set_progress(percent);
  }
};

}  // namespace webhoard
