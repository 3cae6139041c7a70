// Texts between the program's byte strings and Qt's strings. Paths, captions
// and messages are UTF-8 on this system; texts a cache recorded in a Windows
// code page (addresses, titles) are not always valid UTF-8 and are shown as
// Windows-1252 then, never as replacement characters.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace webhoard::gui {

QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

// A message box text: the written "\r\n" line breaks become Qt's.
QString MessageText(std::string_view text);

// A caption with its accelerator: the written "&" marks stay (Qt reads them
// the same way), "&&" stays one shown "&".
inline QString Caption(std::string_view caption) { return ToQt(caption); }

// The caption without its accelerator marks, for accessible names.
QString PlainCaption(std::string_view caption);

}  // namespace webhoard::gui
