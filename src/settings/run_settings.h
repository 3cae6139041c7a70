// The settings of one archive or re-index run started outside the windows
// (the command line): the stored settings, loaded the way the Properties
// dialog loads them, with the run's own choices on top. The choices hold for
// that run only; nothing is written back to the store.
#pragma once

#include <optional>
#include <string>

#include "common/edition.h"
#include "settings/in_memory_settings.h"
#include "settings/settings_steps.h"
#include "settings/settings_store.h"

namespace webhoard {

// What a run may choose for itself; each unset choice keeps the stored one.
struct RunChoices {
  std::optional<std::string> archive_folder;  // where the run writes
  std::optional<bool> show_original_urls;
  std::optional<bool> strikeout_links;
  std::optional<bool> detailed_index;
  // Emphasis of links to archived pages: off, or on with the tags of
  // `emphasis` (kCustom: the custom tags as stored).
  std::optional<bool> emphasize_links;
  Emphasis emphasis = Emphasis::kBold;
};

// Loads the stored settings into `settings` and applies `choices`. The
// Navigator cache index path is taken as stored: a run does not go looking
// for the browser's cache when none is stored.
void LoadRunSettings(const SettingsStore& store, Edition edition, const RunChoices& choices,
                     InMemorySettings& settings);

}  // namespace webhoard
