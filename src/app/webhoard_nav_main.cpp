// webhoard-nav: the desktop program of the Netscape Navigator edition.
#include "common/edition.h"
#include "gui/desktop_app.h"

int main(int argc, char** argv) {
  return webhoard::gui::RunDesktop(webhoard::Edition::kNavigator, argc, argv);
}
