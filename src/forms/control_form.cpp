#include "forms/control_form.h"

#include "common/file_util.h"
#include "index/build_index.h"
#include "platform/local_path.h"
#include "platform/short_path.h"
#include "settings/settings_steps.h"
#include "shell/shell_open_page.h"

namespace webhoard {
namespace {

inline constexpr int kMainHelpTopic = 1;
inline constexpr std::string_view kHelpFileNotFound = "Help file not found";

}  // namespace

std::optional<std::string> IndexEntryPageOf(std::string_view archive_folder) {
  if (archive_folder.empty()) return std::nullopt;
  const std::string page = JoinPath(LocalFileSystemPath(archive_folder), kIndexEntryPage);
  if (!FileExists(page)) return std::nullopt;
  return page;
}

TControlForm::TControlForm(Edition edition, Prompter& prompter, SettingsStore& store,
                           InMemorySettings& settings, TCacheItemList& items,
                           TSelectionForm& explorer, ControlFormWindows windows,
                           const ShellOpenOptions& open_options)
    : WebhoardText{"Cache Explorer: Keep a permanent record of your favorite sites and delete "
                   "unwanted items from your browser's cache."},
      ViewText{"Display default index: Show the index page for the items in your default "
               "archive folder."},
      SearchText{"Search offline index: Locate specific items from your archive folders, "
                 "searching by contents of URLs and pages."},
      SetupText{"Change Webhoard properties: Set the archive folder locations and specify "
                "archive page appearance."},
      Reindex{"&Delete from Archive", "Ctrl+A"},
      Properties1{"P&roperties", "Alt+Enter"},
      Exit1{"E&xit", ""},
      CacheExplorer1{"Cache &Explorer", "Ctrl+E"},
      DefaultIndex1{"&Default Index", "Ctrl+D"},
      SecondaryIndex{"Secondary &Index", "Ctrl+I"},
      SearchForm1{"&Search...", "Ctrl+S"},
      Contents1{"&Contents", ""},
      About1{"&About", ""},
      edition_(edition),
      prompter_(prompter),
      store_(store),
      settings_(settings),
      items_(items),
      explorer_(explorer),
      windows_(std::move(windows)),
      open_options_(open_options) {
  caption = "Webhoard";
  help_context = kMainHelpTopic;
}

void TControlForm::WebhoardButtonClick() {
  if (edition_ == Edition::kNavigator &&
      !FileExists(LocalFileSystemPath(settings_.cache_index_path))) {
    prompter_.ShowMessage(kInvalidNetscapePath, MessageKind::kInformation, kButtonOk);
    Run(windows_.show_properties);
    return;
  }
  // Nothing of the last opening survives: the Cache Explorer reads afresh.
  items_.clear();
  explorer_.load_pending = true;
  Run(windows_.show_cache_explorer);
}

void TControlForm::OpenIndex(const std::string& archive_folder, std::string_view missing_message) {
  const std::optional<std::string> page = IndexEntryPageOf(archive_folder);
  if (!page) {
    prompter_.ShowMessage(missing_message, MessageKind::kInformation, kButtonOk);
    return;
  }
  // The path is handed over whole: a cut path would open another page or none.
  ShellOpenPage(ShortPathName(*page), prompter_, open_options_);
}

void TControlForm::ViewButtonClick() {
  OpenIndex(ReadDefaultDirectory(store_), kNoDefaultIndex);
}

void TControlForm::SecondaryIndexClick() {
  OpenIndex(ReadSecondaryDirectory(store_), kNoSecondaryIndex);
}

void TControlForm::SearchButtonClick() {
  Run(windows_.show_search);
}

void TControlForm::SetupButtonClick() {
  Run(windows_.show_properties);
}

void TControlForm::ReindexClick() {
  Run(windows_.show_reindex);
}

void TControlForm::Contents1Click() {
  if (!windows_.show_help || !windows_.show_help(kMainHelpTopic)) {
    prompter_.ShowMessage(kHelpFileNotFound, MessageKind::kError, kButtonOk);
  }
}

void TControlForm::About1Click() {
  Run(windows_.show_about);
}

void TControlForm::Exit1Click() {
  Run(windows_.exit);
}

void TControlForm::WebhoardButtonMouseMove(Button& button) {
  for (Button* own : {&WebhoardButton, &ViewButton, &SearchButton, &SetupButton}) {
    if (own == &button && focused_ != own) {
      focused_ = own;
      NotifyChanged();
    }
  }
}

}  // namespace webhoard
