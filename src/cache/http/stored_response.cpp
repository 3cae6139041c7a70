#include "cache/http/stored_response.h"

namespace webhoard {

std::string_view SkipReasonWords(SkipReason reason) {
  switch (reason) {
    case SkipReason::kNotFinished:
      return "not finished";
    case SkipReason::kNotOk:
      return "not 200";
    case SkipReason::kNoBody:
      return "no body";
    case SkipReason::kPartial:
      return "partial";
    case SkipReason::kChecksum:
      return "bad checksum";
    case SkipReason::kDamaged:
      return "damaged";
    case SkipReason::kNotWeb:
      return "not a web address";
    case SkipReason::kUnavailable:
      return "headers not available";
  }
  return "unknown";
}

std::uint64_t StoredResponses::SkippedCount() const {
  std::uint64_t total = 0;
  for (const std::uint64_t n : skipped) total += n;
  return total;
}

std::string StoredResponses::SkippedWords() const {
  std::string words;
  for (std::size_t i = 0; i < kSkipReasonCount; ++i) {
    if (skipped[i] == 0) continue;
    if (!words.empty()) words += ", ";
    words +=
        std::to_string(skipped[i]) + " " + std::string(SkipReasonWords(static_cast<SkipReason>(i)));
  }
  return words;
}

}  // namespace webhoard
