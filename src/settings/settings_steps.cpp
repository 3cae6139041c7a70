#include "settings/settings_steps.h"

#include "common/ascii.h"
#include "platform/user_folders.h"
#include "settings/setting_names.h"

// Folders and the cache index path go into memory whole: a path cut short
// names another folder, and the archive run writes into the current archive
// folder while cache deletion removes files beside the cache index. Tags are
// page text and keep their 255-character limit.

namespace webhoard {

std::string ReadDefaultDirectory(const SettingsStore& store) {
  return store.ReadSettingText(kExportOptions, kDefaultDirectory, DefaultArchiveFolder());
}

std::string ReadSecondaryDirectory(const SettingsStore& store) {
  return store.ReadSettingText(kExportOptions, kExportDirectoryName, "");
}

std::string ReadSearchDirectory(const SettingsStore& store) {
  return store.ReadSettingText(kSearchOptions, kSearchDirectory, ReadDefaultDirectory(store));
}

std::string ReadReindexDirectory(const SettingsStore& store) {
  return store.ReadSettingText(kGeneralOptions, kReindexDirectory, ReadDefaultDirectory(store));
}

std::string ReadInternetExplorerCacheFolder(const SettingsStore& store) {
  return store.ReadSettingText(kInternetExplorerOptions, kCacheFolder, "");
}

bool WriteInternetExplorerCacheFolder(SettingsStore& store, std::string_view folder) {
  return store.WriteSettingText(kInternetExplorerOptions, kCacheFolder, folder);
}

Emphasis EmphasisFromStored(std::int32_t stored) {
  const auto code = static_cast<std::uint32_t>(stored) & 0xFFu;
  return code <= 3 ? static_cast<Emphasis>(code) : Emphasis::kBold;
}

void SetEmphasisTags(Emphasis emphasis, std::string_view custom_tag, std::string_view custom_de_tag,
                     InMemorySettings& settings) {
  switch (emphasis) {
    case Emphasis::kBold:
      settings.emphasizing_tag = "B";
      settings.de_emphasizing_tag = "/B";
      break;
    case Emphasis::kItalic:
      settings.emphasizing_tag = "I";
      settings.de_emphasizing_tag = "/I";
      break;
    case Emphasis::kLarger:
      settings.emphasizing_tag = "FONT SIZE=+1";
      settings.de_emphasizing_tag = "/FONT";
      break;
    case Emphasis::kCustom:
      settings.emphasizing_tag = CutAt(custom_tag, kShortTextLength);
      settings.de_emphasizing_tag = CutAt(custom_de_tag, kShortTextLength);
      break;
  }
}

PropertiesFields LoadSettings(const SettingsStore& store, Edition edition,
                              InMemorySettings& settings,
                              const std::function<std::string()>& locate_cache_index) {
  PropertiesFields fields;
  if (edition == Edition::kNavigator) {
    fields.fat_path = store.ReadSettingText(kBrowserOptions, kFatPath,
                                            locate_cache_index ? locate_cache_index() : "");
    settings.cache_index_path = fields.fat_path;
  }
  fields.default_directory = ReadDefaultDirectory(store);

  fields.show_original_urls = store.ReadSettingFlag(kExportOptions, kShowOriginalUrls, true);
  fields.emphasize_links = store.ReadSettingFlag(kExportOptions, kEmphasizeLinks, false);
  fields.strikeout_links = store.ReadSettingFlag(kExportOptions, kStrikeoutLinks, true);
  fields.detailed_index = store.ReadSettingFlag(kExportOptions, kDetailedIndex, true);
  settings.show_original_urls = fields.show_original_urls;
  settings.emphasize_links = fields.emphasize_links;
  settings.strikeout_links = fields.strikeout_links;
  settings.detailed_index = fields.detailed_index;

  fields.emphasize_tag = store.ReadSettingText(kExportOptions, kEmphasizeTag, kDefaultEmphasizeTag);
  fields.de_emphasize_tag =
      store.ReadSettingText(kExportOptions, kDeEmphasizeTag, kDefaultDeEmphasizeTag);

  fields.emphasis = EmphasisFromStored(store.ReadSettingNumber(kExportOptions, kEmphasizeType, 0));
  SetEmphasisTags(fields.emphasis, fields.emphasize_tag, fields.de_emphasize_tag, settings);

  const std::int32_t export_directory =
      store.ReadSettingNumber(kExportOptions, kExportDirectory, 0);
  fields.use_secondary_folder = (static_cast<std::uint32_t>(export_directory) & 0xFFu) == 1;
  fields.secondary_folder = ReadSecondaryDirectory(store);
  settings.current_archive_folder =
      fields.use_secondary_folder ? fields.secondary_folder : fields.default_directory;
  return fields;
}

bool SaveSettings(SettingsStore& store, Edition edition, const PropertiesFields& fields,
                  InMemorySettings& settings) {
  bool ok = true;
  if (edition == Edition::kNavigator) {
    ok &= store.WriteSettingText(kBrowserOptions, kFatPath, fields.fat_path);
    settings.cache_index_path = fields.fat_path;
  }
  ok &= store.WriteSettingText(kExportOptions, kDefaultDirectory, fields.default_directory);
  ok &= store.WriteSettingFlag(kExportOptions, kShowOriginalUrls, fields.show_original_urls);
  ok &= store.WriteSettingFlag(kExportOptions, kEmphasizeLinks, fields.emphasize_links);
  ok &= store.WriteSettingFlag(kExportOptions, kStrikeoutLinks, fields.strikeout_links);
  ok &= store.WriteSettingFlag(kExportOptions, kDetailedIndex, fields.detailed_index);
  ok &= store.WriteSettingText(kExportOptions, kEmphasizeTag, fields.emphasize_tag);
  ok &= store.WriteSettingText(kExportOptions, kDeEmphasizeTag, fields.de_emphasize_tag);
  ok &= store.WriteSettingNumber(kExportOptions, kEmphasizeType,
                                 static_cast<std::int32_t>(fields.emphasis));
  if (edition == Edition::kNavigator) {
    settings.current_archive_folder =
        fields.use_secondary_folder ? fields.secondary_folder : fields.default_directory;
  }
  ok &= store.WriteSettingNumber(kExportOptions, kExportDirectory,
                                 fields.use_secondary_folder ? 1 : 0);
  ok &= store.WriteSettingText(kExportOptions, kExportDirectoryName, fields.secondary_folder);
  return ok;
}

}  // namespace webhoard
