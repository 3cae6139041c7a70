// One JSON object on one line, for the --json output of list, catalog and
// search. Texts are written as JSON strings whatever bytes they hold: valid
// UTF-8 as it is, control characters escaped, and each byte that is not part
// of valid UTF-8 as \u00XX of that byte (so the line stays valid JSON; such
// a byte cannot be told from the character U+00XX).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace webhoard::cli {

std::string JsonString(std::string_view text);

class JsonLine {
 public:
  JsonLine& Text(std::string_view key, std::string_view value);
  JsonLine& Number(std::string_view key, std::int64_t value);
  // null when the value is unknown.
  JsonLine& Size(std::string_view key, std::optional<std::uint64_t> value);
  // The object and a line break.
  std::string Finish() const { return "{" + fields_ + "}\n"; }

 private:
  void Key(std::string_view key);
  std::string fields_;
};

}  // namespace webhoard::cli
