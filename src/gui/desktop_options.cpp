#include "gui/desktop_options.h"

#include "common/file_util.h"

namespace webhoard::gui {

DesktopOptions ParseDesktopOptions(const std::vector<std::string>& words,
                                   const std::string& working_folder) {
  DesktopOptions options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (word == "--help" || word == "-h") {
      options.help = true;
    } else if (word == "--version") {
      options.version = true;
    } else if (word == "--cache" || word.rfind("--cache=", 0) == 0) {
      std::string value;
      if (word == "--cache") {
        if (i + 1 >= words.size()) {
          options.error = "--cache needs a path";
          return options;
        }
        value = words[++i];
      } else {
        value = word.substr(8);
      }
      if (value.empty()) {
        options.error = "--cache needs a path";
        return options;
      }
      options.cache = value.front() == '/' ? value : JoinPath(working_folder, value);
    } else {
      // Desktop sessions may hand a program file or URL arguments; the
      // windows take none.
      options.error = "unknown option \"" + word + "\"";
      return options;
    }
  }
  return options;
}

std::string DesktopUsage(Edition edition, const std::string& program) {
  const bool navigator = edition == Edition::kNavigator;
  return "Usage: " + program + " [--cache " + (navigator ? "INDEXFILE" : "FOLDER") + "]\n" +
         "\n" +
         (navigator ? "Webhoard for Netscape Navigator caches: opens the main window, from which\n"
                    : "Webhoard for Internet Explorer caches: opens the main window, from which\n") +
         "you explore the browser's cache, archive what you choose, open the archive's\n"
         "index, search and re-index archives and change the properties.\n"
         "\n"
         "Options:\n" +
         (navigator
              ? "  --cache INDEXFILE  read this Netscape cache index (FAT or FAT.DB) from now on;\n"
                "                     stored in the settings, like the Properties dialog does\n"
              : "  --cache FOLDER     read the URL cache whose index.dat is in this folder from\n"
                "                     now on; stored in the settings\n") +
         "  --version          print the version and end\n"
         "  -h, --help         print this help and end\n"
         "\n"
         "A second start of the same program brings the running one to the front.\n"
         "Settings are kept per user; the command line `webhoard` shares them.\n";
}

}  // namespace webhoard::gui
