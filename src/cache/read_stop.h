// Stopping a cache read midway. An index may hold millions of entries and
// take many seconds to read; the caller (Ctrl-C on the command line, a
// window's Cancel later) hands the reader a check that is asked every few
// thousand entries, and the reader ends as soon as it answers true. The items
// read so far stay in the list, and the reader's statistics say it stopped.
#pragma once

#include <cstdint>
#include <functional>

namespace webhoard {

// Answers true when the read is to end now. An empty check never stops.
using ReadStopCheck = std::function<bool()>;

// Entries (lines of a text index, URL cache entries) between two checks:
// often enough to stop within a fraction of a second, rarely enough to cost
// nothing.
inline constexpr std::uint64_t kEntriesPerStopCheck = 4096;

// Asks a stop check once every kEntriesPerStopCheck calls of Due(), starting
// with the first.
class StopPoll {
 public:
  explicit StopPoll(const ReadStopCheck& stop) : stop_(stop) {}

  // True when the check was asked on this call and answered true.
  bool Due() {
    if (!stop_) return false;
    return count_++ % kEntriesPerStopCheck == 0 && stop_();
  }

 private:
  const ReadStopCheck& stop_;
  std::uint64_t count_ = 0;
};

}  // namespace webhoard
