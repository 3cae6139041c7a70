// The settings store: every persistent setting of both editions, kept in
// the current user's registry under "Software\Tarnwell\Webhoard". A section
// is a sub-key of that key and a setting a named string value in it, like an
// INI file laid onto the registry; numbers and flags are stored as text too.
//
//   text    stored as is; a missing section or value reads as the default,
//           a stored empty text reads as empty
//   number  signed decimal digits; read back as decimal, or as hexadecimal
//           after "0x"/"0X" when the text is longer than two characters;
//           what does not convert reads as the default
//   flag    "1" or "0"; read as a number whose default is 1 or 0, true when
//           not 0
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace webhoard {

constexpr std::string_view kSettingsKeyPath = "Software\\Tarnwell\\Webhoard";

// The number a stored text stands for, or nullopt when it does not convert.
// Decimal texts must fit in 32 signed bits. Hexadecimal texts take up to 8
// digits (leading zeros aside) and give the 32-bit pattern they spell, so
// "0xFFFFFFFF" is -1, as a number written by a tool in unsigned hexadecimal
// round-trips; anything longer does not convert.
std::optional<std::int32_t> ParseSettingNumber(std::string_view text);

class SettingsStore {
 public:
  // Reads create nothing: a program that only reads the settings leaves no
  // trace in the registry. The first write creates the key.
  explicit SettingsStore(Registry& registry);

  std::string ReadSettingText(std::string_view section, std::string_view name,
                              std::string_view default_value) const;
  std::int32_t ReadSettingNumber(std::string_view section, std::string_view name,
                                 std::int32_t default_value) const;
  bool ReadSettingFlag(std::string_view section, std::string_view name, bool default_value) const;

  // Writes create the section when it is missing. They answer false when the
  // registry could not be written (the stored value is then unchanged).
  bool WriteSettingText(std::string_view section, std::string_view name, std::string_view value);
  bool WriteSettingNumber(std::string_view section, std::string_view name, std::int32_t value);
  bool WriteSettingFlag(std::string_view section, std::string_view name, bool value);

 private:
  std::optional<std::string> ReadStored(std::string_view section, std::string_view name) const;

  Registry& registry_;
};

}  // namespace webhoard
