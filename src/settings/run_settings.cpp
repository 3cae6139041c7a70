#include "settings/run_settings.h"

namespace webhoard {

void LoadRunSettings(const SettingsStore& store, Edition edition, const RunChoices& choices,
                     InMemorySettings& settings) {
  const PropertiesFields stored =
      LoadSettings(store, edition, settings, [] { return std::string(); });
  if (choices.show_original_urls) settings.show_original_urls = *choices.show_original_urls;
  if (choices.strikeout_links) settings.strikeout_links = *choices.strikeout_links;
  if (choices.detailed_index) settings.detailed_index = *choices.detailed_index;
  if (choices.emphasize_links) {
    settings.emphasize_links = *choices.emphasize_links;
    // Switching emphasis off keeps the tags: they are not used then.
    if (*choices.emphasize_links) {
      SetEmphasisTags(choices.emphasis, stored.emphasize_tag, stored.de_emphasize_tag, settings);
    }
  }
  if (choices.archive_folder) settings.current_archive_folder = *choices.archive_folder;
}

}  // namespace webhoard
