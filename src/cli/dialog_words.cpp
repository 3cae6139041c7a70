#include "cli/dialog_words.h"

#include "cli/terminal.h"
#include "forms/export_form.h"

namespace webhoard::cli {
namespace {

constexpr std::string_view kBreak = "\r\n";

// The text between `before` and the next line break, or nullopt.
std::optional<std::string_view> After(std::string_view text, std::string_view before) {
  const std::size_t at = text.find(before);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = text.substr(at + before.size());
  return rest.substr(0, rest.find(kBreak));
}

bool Consume(std::string_view& text, std::string_view prefix) {
  if (text.rfind(prefix, 0) != 0) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

CommandLineWords WordsOfDialog(std::string_view text) {
  if (text.find("Do you wish to load this index now?") != std::string_view::npos) {
    const auto page = After(text, "The index page is located at:\r\n\r\n");
    return {"open the index page " + std::string(page.value_or("")) + " in the browser?", true};
  }
  if (const auto folder = After(text, "Archive folder\r\n\r\n");
      folder && text.find("does not exist. Create?") != std::string_view::npos) {
    return {"create the archive folder " + std::string(*folder) + "?"};
  }
  if (Consume(text, kArchiveFolderInUse)) {
    const std::size_t end = text.find(kArchiveFolderWait);
    return {std::string(text.substr(0, end)) +
            ": another archive run or re-index uses this folder; waiting until it is done"};
  }
  if (Consume(text, kArchiveFolderUnusable)) return {OneLine(text)};
  if (Consume(text, kIndexNotWritten)) {
    return {
        "the catalogue was saved, but the index pages were not written (reindex writes "
        "them): " +
        OneLine(text)};
  }
  if (Consume(text, "Archiving stopped.\r\n") || Consume(text, "Re-indexing stopped.\r\n")) {
    return {"stopped: " + OneLine(text)};
  }
  if (Consume(text, "Could not save the archive catalogue.\r\n")) {
    const std::size_t end = text.find("\r\n\r\nThe previous catalogue was kept unchanged.");
    return {"cannot save the catalogue: " + OneLine(text.substr(0, end)) +
            "; the previous catalogue is kept"};
  }
  if (text.rfind("Could not create folder.", 0) == 0) return {"cannot create the archive folder"};
  return {OneLine(text)};
}

}  // namespace webhoard::cli
