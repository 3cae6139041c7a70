// webhoard settings [SECTION NAME VALUE]: shows the stored settings, or sets
// one, in the same store the windows use.
#include <string>

#include "cli/command.h"
#include "platform/registry.h"
#include "settings/setting_names.h"
#include "settings/settings_steps.h"
#include "settings/settings_store.h"

namespace webhoard::cli {
namespace {

struct KnownSetting {
  std::string_view section;
  std::string_view name;
};

constexpr KnownSetting kKnownSettings[] = {
    {kBrowserOptions, kFatPath},
    {kExportOptions, kDefaultDirectory},
    {kExportOptions, kShowOriginalUrls},
    {kExportOptions, kEmphasizeLinks},
    {kExportOptions, kStrikeoutLinks},
    {kExportOptions, kDetailedIndex},
    {kExportOptions, kEmphasizeTag},
    {kExportOptions, kDeEmphasizeTag},
    {kExportOptions, kEmphasizeType},
    {kExportOptions, kExportDirectory},
    {kExportOptions, kExportDirectoryName},
    {kSearchOptions, kSearchDirectory},
    {kGeneralOptions, kReindexDirectory},
    {kInternetExplorerOptions, kCacheFolder},
    {kBrowserCaches, kChromiumCache},
    {kBrowserCaches, kFirefoxCache},
};

}  // namespace

int RunSettings(Arguments& args, Console& console) {
  const auto section = args.Operand();
  const auto name = args.Operand();
  const auto value = args.Operand();
  args.ExpectNoMore();
  SettingsStore store(SystemRegistry());
  if (!section) {
    std::fprintf(console.err, "settings in %s\n", SystemRegistryLocation(kSettingsKeyPath).c_str());
    for (const KnownSetting& s : kKnownSettings) {
      constexpr std::string_view kUnset = "\x01";
      const std::string stored = store.ReadSettingText(s.section, s.name, kUnset);
      std::fprintf(console.out, "%.*s\t%.*s\t%s\n", static_cast<int>(s.section.size()),
                   s.section.data(), static_cast<int>(s.name.size()), s.name.data(),
                   stored == kUnset ? "(default)" : OutputField(stored).c_str());
    }
    return kExitOk;
  }
  if (!name || !value) throw UsageError("settings takes SECTION NAME VALUE, or nothing");
  if (!store.WriteSettingText(*section, *name, *value)) {
    throw WorkError("could not write the setting to " + SystemRegistryLocation(kSettingsKeyPath));
  }
  return kExitOk;
}

}  // namespace webhoard::cli
