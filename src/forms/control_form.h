// The main window's behaviour: four picture buttons with their texts and the
// menu, from which every command is reached: the Cache Explorer, the default
// and secondary index pages, the search, delete from archive, the Properties
// dialog, help and the About box. The window binds widgets to these members
// and handlers (see controls.h) and supplies the other windows it opens.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "cache/cache_item.h"
#include "common/edition.h"
#include "common/prompter.h"
#include "forms/controls.h"
#include "forms/form.h"
#include "forms/selection_form.h"
#include "platform/shell_open.h"
#include "settings/in_memory_settings.h"
#include "settings/settings_store.h"

namespace webhoard {

inline constexpr std::string_view kInvalidNetscapePath =
    "The path to the Netscape\r\nis invalid. Please locate\r\nit manually using the \r\n"
    "properties screen.";
inline constexpr std::string_view kNoDefaultIndex =
    "No default index exists.\r\n\r\nUse the Cache Explorer\r\nto create one.";
inline constexpr std::string_view kNoSecondaryIndex =
    "No secondary index exists.\r\n\r\nUse the Cache Explorer\r\nto create one.";

// The index entry page of an archive folder as a path of this system, or
// nullopt when the folder is empty (it names no folder: the working folder
// is not an archive) or holds no entry page. The folder may be a Windows
// path and may lack its trailing separator.
std::optional<std::string> IndexEntryPageOf(std::string_view archive_folder);

// What the main window opens; the Qt front end supplies each one (tests
// supply fakes). A missing one does nothing.
struct ControlFormWindows {
  std::function<void()> show_cache_explorer;  // shows the Cache Explorer modally (load_pending
                                              // already set)
  std::function<void()> show_properties;      // the Properties dialog, modally
  std::function<void()> show_search;          // a new search window, modally
  std::function<void()> show_reindex;         // a new delete-from-archive dialog, modally
  std::function<void()> show_about;
  std::function<void()> exit;          // closes the main window
  std::function<bool(int)> show_help;  // answers whether the topic could be shown
};

class TControlForm : public Form {
 public:
  // `items` is the application's cache item list, `explorer` the Cache
  // Explorer that reads it; `settings` gives the cache index path.
  TControlForm(Edition edition, Prompter& prompter, SettingsStore& store,
               InMemorySettings& settings, TCacheItemList& items, TSelectionForm& explorer,
               ControlFormWindows windows, const ShellOpenOptions& open_options = {});

  // The windows can also be supplied after the form exists (they are
  // created after the main window).
  void set_windows(ControlFormWindows windows) { windows_ = std::move(windows); }

  struct MenuItem {
    std::string caption;
    std::string shortcut;
    bool visible = true;
  };

  // The picture buttons (no caption) and the bold texts beside them.
  Button WebhoardButton, ViewButton, SearchButton, SetupButton;
  Label WebhoardText, ViewText, SearchText, SetupText;

  // The "&File", "&View" and "&Help" menus. The Internet Explorer edition
  // calls the secondary index item ViewSecondary and its handler
  // ViewSecondaryClick; both editions use SecondaryIndex and
  // SecondaryIndexClick here.
  MenuItem Reindex, Properties1, Exit1;
  MenuItem CacheExplorer1, DefaultIndex1, SecondaryIndex, SearchForm1;
  MenuItem Contents1, About1;

  // Cache Explorer. Navigator edition: without a cache index file the user
  // is sent to the Properties dialog instead.
  void WebhoardButtonClick();
  // The index pages of the default and the secondary archive folder.
  void ViewButtonClick();
  void SecondaryIndexClick();
  void SearchButtonClick();
  void SetupButtonClick();
  void ReindexClick();
  void Contents1Click();
  void About1Click();
  void Exit1Click();

  // The mouse moving over one of the four buttons gives it the focus.
  void WebhoardButtonMouseMove(Button& button);
  Button* focused_button() const { return focused_; }

 private:
  void OpenIndex(const std::string& archive_folder, std::string_view missing_message);
  static void Run(const std::function<void()>& window) {
    if (window) window();
  }

  Edition edition_;
  Prompter& prompter_;
  SettingsStore& store_;
  InMemorySettings& settings_;
  TCacheItemList& items_;
  TSelectionForm& explorer_;
  ControlFormWindows windows_;
  ShellOpenOptions open_options_;
  Button* focused_ = nullptr;
};

}  // namespace webhoard
