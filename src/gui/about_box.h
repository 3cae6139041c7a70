// The About box: the product, the edition, the version and the maker, and a
// button that opens the help contents in the browser.
#pragma once

#include <QDialog>

#include "common/edition.h"

namespace webhoard::gui {

inline constexpr int kAboutHelpContext = 45;

// The version line of the About box ("Version 0.1.0").
QString VersionText();
// The edition's full name ("Netscape Navigator edition").
QString EditionName(Edition edition);

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  AboutBox(Edition edition, QWidget* parent);
};

}  // namespace webhoard::gui
