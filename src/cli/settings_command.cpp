// webhoard settings [SECTION NAME VALUE]: shows the settings in effect, or
// sets one, in the same store the windows use.
#include <charconv>
#include <functional>
#include <string>

#include "cli/command.h"
#include "cli/terminal.h"
#include "platform/registry.h"
#include "platform/user_folders.h"
#include "settings/setting_names.h"
#include "settings/settings_steps.h"
#include "settings/settings_store.h"

namespace webhoard::cli {
namespace {

enum class SettingKind { kText, kFlag, kChoice };

struct KnownSetting {
  std::string_view section;
  std::string_view name;
  SettingKind kind;
  // The value in effect when none is stored.
  std::function<std::string(const SettingsStore&)> fallback;
  // kChoice: the digits it takes, and what they mean.
  std::string_view digits = {};
  std::string_view choices = {};
};

std::function<std::string(const SettingsStore&)> Fixed(std::string_view value) {
  return [value](const SettingsStore&) { return std::string(value); };
}

const std::vector<KnownSetting>& KnownSettings() {
  static const std::vector<KnownSetting> settings = {
      {kBrowserOptions, kFatPath, SettingKind::kText, Fixed("")},
      {kExportOptions, kDefaultDirectory, SettingKind::kText,
       [](const SettingsStore&) { return DefaultArchiveFolder(); }},
      {kExportOptions, kShowOriginalUrls, SettingKind::kFlag, Fixed("1")},
      {kExportOptions, kEmphasizeLinks, SettingKind::kFlag, Fixed("0")},
      {kExportOptions, kStrikeoutLinks, SettingKind::kFlag, Fixed("1")},
      {kExportOptions, kDetailedIndex, SettingKind::kFlag, Fixed("1")},
      {kExportOptions, kEmphasizeTag, SettingKind::kText, Fixed(kDefaultEmphasizeTag)},
      {kExportOptions, kDeEmphasizeTag, SettingKind::kText, Fixed(kDefaultDeEmphasizeTag)},
      {kExportOptions, kEmphasizeType, SettingKind::kChoice, Fixed("0"), "0123",
       "0 (bold), 1 (italic), 2 (larger) or 3 (the custom tags)"},
      {kExportOptions, kExportDirectory, SettingKind::kChoice, Fixed("0"), "01",
       "0 (the default directory) or 1 (the export directory name)"},
      {kExportOptions, kExportDirectoryName, SettingKind::kText, Fixed("")},
      {kSearchOptions, kSearchDirectory, SettingKind::kText, ReadDefaultDirectory},
      {kGeneralOptions, kReindexDirectory, SettingKind::kText, ReadDefaultDirectory},
      {kInternetExplorerOptions, kCacheFolder, SettingKind::kText, Fixed("")},
      {kBrowserCaches, kChromiumCache, SettingKind::kText, Fixed("")},
      {kBrowserCaches, kFirefoxCache, SettingKind::kText, Fixed("")},
  };
  return settings;
}

bool IsChoice(const KnownSetting& setting, const std::string& value) {
  return value.size() == 1 && setting.digits.find(value[0]) != std::string_view::npos;
}

// UsageError saying which values the setting takes.
void CheckValue(const KnownSetting& setting, const std::string& value) {
  const std::string what = std::string(setting.section) + " / " + std::string(setting.name);
  if (setting.kind == SettingKind::kFlag && value != "0" && value != "1") {
    throw UsageError(what + " is a flag: it takes 0 or 1, not \"" + value + "\"");
  }
  if (setting.kind == SettingKind::kChoice && !IsChoice(setting, value)) {
    throw UsageError(what + " takes " + std::string(setting.choices) + ", not \"" + value + "\"");
  }
}

const KnownSetting& FindSetting(const std::string& section, const std::string& name) {
  for (const KnownSetting& s : KnownSettings()) {
    if (s.section == section && s.name == name) return s;
  }
  throw UsageError("no setting \"" + section + "\" / \"" + name +
                   "\" (webhoard settings lists them all)");
}

void PrintSettings(const SettingsStore& store, Console& console) {
  std::fprintf(console.err, "settings in %s\n", SystemRegistryLocation(kSettingsKeyPath).c_str());
  for (const KnownSetting& s : KnownSettings()) {
    constexpr std::string_view kUnset = "\x01";
    const std::string stored = store.ReadSettingText(s.section, s.name, kUnset);
    const bool is_default = stored == kUnset;
    std::string value = is_default ? s.fallback(store) : stored;
    // A number the windows cannot read counts as the default, as they read it.
    if (s.kind != SettingKind::kText) {
      const std::int32_t number =
          store.ReadSettingNumber(s.section, s.name, std::stoi(s.fallback(store)));
      value = s.kind == SettingKind::kFlag ? (number != 0 ? "1" : "0") : std::to_string(number);
    }
    std::fprintf(console.out, "%.*s\t%.*s\t%s%s\n", static_cast<int>(s.section.size()),
                 s.section.data(), static_cast<int>(s.name.size()), s.name.data(),
                 OutputField(value).c_str(), is_default ? "\tdefault" : "");
  }
}

}  // namespace

int RunSettings(Arguments& args, Console& console) {
  const auto section = args.Operand();
  const auto name = args.Operand();
  const auto value = args.Operand();
  args.ExpectNoMore();
  SettingsStore store(SystemRegistry());
  if (!section) {
    PrintSettings(store, console);
    return kExitOk;
  }
  if (!name || !value) throw UsageError("settings takes SECTION NAME VALUE, or nothing");
  CheckValue(FindSetting(*section, *name), *value);
  if (!store.WriteSettingText(*section, *name, *value)) {
    throw WorkError("cannot write the setting to " + SystemRegistryLocation(kSettingsKeyPath));
  }
  return kExitOk;
}

}  // namespace webhoard::cli
