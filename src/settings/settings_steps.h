// Loading and saving the settings that the Properties dialog shows: the load
// step fills the in-memory settings (and answers the stored values for the
// dialog's fields), the save step writes the dialog's fields back. The
// dialog runs the load step when it is created and every time it closes, so
// unconfirmed changes are undone, and the save step on OK and Apply.
//
// Also the few folder settings other windows read directly, with their
// chained defaults.
#pragma once

#include <functional>
#include <string>

#include "common/edition.h"
#include "settings/in_memory_settings.h"
#include "settings/settings_store.h"

namespace webhoard {

// The stored "Emphasize Type" codes.
enum class Emphasis { kBold = 0, kItalic = 1, kLarger = 2, kCustom = 3 };

// The Properties dialog's fields, as stored.
struct PropertiesFields {
  std::string fat_path;  // Netscape Navigator edition only
  std::string default_directory;
  bool show_original_urls = true;
  bool emphasize_links = false;
  bool strikeout_links = true;
  bool detailed_index = true;
  std::string emphasize_tag;  // the custom tags, whatever the emphasis chosen
  std::string de_emphasize_tag;
  Emphasis emphasis = Emphasis::kBold;
  bool use_secondary_folder = false;
  std::string secondary_folder;
};

// "Default directory", defaulting to DefaultArchiveFolder() (user_folders.h).
std::string ReadDefaultDirectory(const SettingsStore& store);
// "export directory name", defaulting to empty.
std::string ReadSecondaryDirectory(const SettingsStore& store);
// "Search directory" and "Reindex directory", each defaulting to the
// default archive folder as stored.
std::string ReadSearchDirectory(const SettingsStore& store);
std::string ReadReindexDirectory(const SettingsStore& store);
// The Internet Explorer cache folder; empty means the Wine prefix's one.
std::string ReadInternetExplorerCacheFolder(const SettingsStore& store);
bool WriteInternetExplorerCacheFolder(SettingsStore& store, std::string_view folder);

// The in-memory tags of an "Emphasize Type" value (only its low 8 bits
// count; an unknown code means bold) and the custom tags.
Emphasis EmphasisFromStored(std::int32_t stored);
void SetEmphasisTags(Emphasis emphasis, std::string_view custom_tag, std::string_view custom_de_tag,
                     InMemorySettings& settings);

// The load step. `locate_cache_index` gives the default of the cache index
// path (Netscape Navigator edition only; not called by the other edition).
PropertiesFields LoadSettings(const SettingsStore& store, Edition edition,
                              InMemorySettings& settings,
                              const std::function<std::string()>& locate_cache_index);

// The save step. Answers false when any value could not be written (the
// others are written all the same).
bool SaveSettings(SettingsStore& store, Edition edition, const PropertiesFields& fields,
                  InMemorySettings& settings);

}  // namespace webhoard
