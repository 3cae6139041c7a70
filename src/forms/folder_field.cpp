#include "forms/folder_field.h"

#include <optional>

#include "settings/settings_steps.h"

namespace webhoard {

// Folder texts are kept whole: a cut path would name another folder.

bool BrowseFolder(Prompter& prompter, EditBox& field) {
  const std::optional<std::string> chosen = prompter.PickFolder(field.text);
  if (!chosen) return false;
  if (!chosen->empty()) field.text = *chosen;
  return true;
}

void FolderField::UseDefault(const SettingsStore& store) {
  DirEdit.text = ReadDefaultDirectory(store);
}

void FolderField::UseSecondary(const SettingsStore& store) {
  DirEdit.text = ReadSecondaryDirectory(store);
}

}  // namespace webhoard
