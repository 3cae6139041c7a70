// The archive folder field that the search window and the re-index dialog
// share: an edit box with a Browse button (the folder picker) and two buttons
// that fill in the archive folders of the settings. Each window keeps its
// own last folder and decides what the field is checked for; the field only
// fills itself in.
#pragma once

#include <string>

#include "common/prompter.h"
#include "forms/controls.h"
#include "settings/settings_store.h"

namespace webhoard {

// The folder picker, starting at the edit field's folder; the field receives
// the chosen folder. Answers whether the user chose (an empty choice leaves
// the text as it was).
bool BrowseFolder(Prompter& prompter, EditBox& field);

struct FolderField {
  // The secondary location's caption differs between the windows (each has
  // its own accelerator key).
  explicit FolderField(std::string secondary_caption) : OtherBtn{std::move(secondary_caption)} {}

  EditBox DirEdit;
  Button BrowseButton{"&Browse"};
  Button DefaultBtn{"Use &Default location"};
  Button OtherBtn;

  // BrowseFolder() into DirEdit.
  bool Browse(Prompter& prompter) { return BrowseFolder(prompter, DirEdit); }
  // "Default directory" of the settings, or the default archive folder.
  void UseDefault(const SettingsStore& store);
  // The secondary archive folder of the settings (may be empty).
  void UseSecondary(const SettingsStore& store);
  // Both location buttons together: they are off while a search runs.
  void EnableLocations(bool enabled) { DefaultBtn.enabled = OtherBtn.enabled = enabled; }
};

}  // namespace webhoard
