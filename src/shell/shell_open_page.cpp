#include "shell/shell_open_page.h"

namespace webhoard {

std::string_view ShellOpenReason(int result) {
  switch (result) {
    case 0:
      return "The operating system is out \r\nof memory or resources.";
    case 2:
      return "The specified file was not found.";
    case 3:
      return "The specified path was not found.";
    case 5:
      return "The operating system denied \r\naccess to the specified file.";
    case 8:
      return "There was not enough memory \r\nto complete the operation.";
    case 11:
      return "The .EXE file is invalid (non-Win32 \r\n.EXE or error in .EXE image).";
    case 26:
      return "A sharing violation occurred.";
    case 27:
      return "The filename association \r\nis incomplete or invalid.";
    case 28:
      return "The DDE transaction could not \r\nbe completed because the request \r\ntimed out.";
    case 29:
      return "The DDE transaction failed.";
    case 30:
      return "The DDE transaction could not\r\nbe completed because other DDE \r\ntransactions "
             "were being processed.";
    case 31:
      return "There is no application \r\nassociated with these files.";
    case 32:
      return "The specified dynamic-link \r\nlibrary was not found.";
    default:
      return "The requested file could not be opened.";
  }
}

std::string ShellOpenFailureText(int result, std::string_view path) {
  std::string text(ShellOpenReason(result));
  text += "\r\n\r\nTo open the page:\r\n\r\n";
  text += path;
  text += "\r\n\r\nuse the Open command from\r\nthe browser's File menu.";
  return text;
}

void ShellOpenPage(const std::string& path, Prompter& prompter, const ShellOpenOptions& options) {
  ShellOpenOptions used = options;
  if (!used.while_waiting) used.while_waiting = [&prompter] { prompter.ProcessPendingMessages(); };
  const int result = ShellOpen(path, used);
  if (ShellOpenSucceeded(result)) return;
  prompter.ShowMessage(ShellOpenFailureText(result, path), MessageKind::kError, kButtonOk);
}

}  // namespace webhoard
