#include "settings/settings_store.h"

#include <string>

namespace webhoard {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    const int digit = HexValue(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> ParseSettingNumber(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHex(text.substr(2));
  }
  return ParseDecimal(text);
}

// A registry that cannot be written still reads: every setting then reads as
// its default, and the writes report their failure.
SettingsStore::SettingsStore(Registry& registry) : registry_(registry) {}

std::optional<std::string> SettingsStore::ReadStored(std::string_view section,
                                                     std::string_view name) const {
  const auto key = RegistryKey::Open(registry_, RegistryRoot::kCurrentUser,
                                     std::string(kSettingsKeyPath) + "\\" + std::string(section));
  if (!key) return std::nullopt;
  return key->ReadString(name);
}

std::string SettingsStore::ReadSettingText(std::string_view section, std::string_view name,
                                           std::string_view default_value) const {
  auto stored = ReadStored(section, name);
  return stored ? std::move(*stored) : std::string(default_value);
}

std::int32_t SettingsStore::ReadSettingNumber(std::string_view section, std::string_view name,
                                              std::int32_t default_value) const {
  const auto stored = ReadStored(section, name);
  if (!stored) return default_value;
  return ParseSettingNumber(*stored).value_or(default_value);
}

bool SettingsStore::ReadSettingFlag(std::string_view section, std::string_view name,
                                    bool default_value) const {
  return ReadSettingNumber(section, name, default_value ? 1 : 0) != 0;
}

bool SettingsStore::WriteSettingText(std::string_view section, std::string_view name,
                                     std::string_view value) {
  const auto key = RegistryKey::Create(registry_, RegistryRoot::kCurrentUser,
                                       std::string(kSettingsKeyPath) + "\\" + std::string(section));
  return key && key->WriteString(name, value);
}

bool SettingsStore::WriteSettingNumber(std::string_view section, std::string_view name,
                                       std::int32_t value) {
  return WriteSettingText(section, name, std::to_string(value));
}

bool SettingsStore::WriteSettingFlag(std::string_view section, std::string_view name, bool value) {
  return WriteSettingText(section, name, value ? "1" : "0");
}

}  // namespace webhoard
