// Showing a page to the user: the new index after an archive run, the
// default and secondary index, a search hit, the maker's web site. The page
// goes to the system shell, which opens it in the associated program
// (normally the web browser); when the shell refuses, one error box says why
// in words and how to open the page by hand.
#pragma once

#include <string>
#include <string_view>

#include "common/prompter.h"
#include "platform/shell_open.h"

namespace webhoard {

// Opens `path` (a file path or a web address) through the shell. Every
// refusal ends in one error box with an OK button; nothing is raised and the
// program goes on. While the opener is starting, the prompter serves pending
// window messages unless `options` says what to do instead.
void ShellOpenPage(const std::string& path, Prompter& prompter,
                   const ShellOpenOptions& options = {});

// The reason for a shell result number of 32 or below, in the words shown to
// the user ("\r\n" breaks the lines of the box).
std::string_view ShellOpenReason(int result);

// The whole text of the error box for a refused `path`.
std::string ShellOpenFailureText(int result, std::string_view path);

}  // namespace webhoard
