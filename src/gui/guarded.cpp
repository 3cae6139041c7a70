#include "gui/guarded.h"

#include <QApplication>
#include <QMessageBox>

#include "gui/qt_prompter.h"
#include "gui/text.h"

namespace webhoard::gui {

void ShowGeneralError(const std::string& text) noexcept {
  try {
    QApplication::restoreOverrideCursor();
    QMessageBox::critical(QApplication::activeWindow(), QString::fromLatin1(kMessageBoxCaption),
                          MessageText(text.empty() ? std::string("The command failed.") : text));
  } catch (...) {
    // Nothing more can be told.
  }
}

}  // namespace webhoard::gui
