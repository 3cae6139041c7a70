// webhoard-ie: the desktop program of the Internet Explorer edition.
#include "common/edition.h"
#include "gui/desktop_app.h"

int main(int argc, char** argv) {
  return webhoard::gui::RunDesktop(webhoard::Edition::kInternetExplorer, argc, argv);
}
