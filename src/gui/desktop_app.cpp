#include "gui/desktop_app.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <cstdio>

#include "cache/navigator/navigator_location.h"
#include "cache/program_mime_types.h"
#include "common/file_util.h"
#include "forms/control_form.h"
#include "forms/prefs_form.h"
#include "forms/reindex_form.h"
#include "forms/search_form.h"
#include "forms/selection_form.h"
#include "gui/about_box.h"
#include "gui/desktop_options.h"
#include "gui/explorer_window.h"
#include "gui/guarded.h"
#include "gui/help_system.h"
#include "gui/main_window.h"
#include "gui/pictures.h"
#include "gui/prefs_window.h"
#include "gui/progress_window.h"
#include "gui/qt_prompter.h"
#include "gui/reindex_window.h"
#include "gui/search_window.h"
#include "gui/single_instance.h"
#include "gui/text.h"
#include "platform/program_data_folder.h"
#include "platform/registry.h"
#include "platform/single_instance.h"
#include "settings/setting_names.h"
#include "settings/settings_steps.h"
#include "settings/settings_store.h"

#ifndef WEBHOARD_VERSION
#define WEBHOARD_VERSION "0.0.0"
#endif

namespace webhoard::gui {
namespace {

std::vector<std::string> ArgumentsOf(int argc, char** argv) {
  std::vector<std::string> words;
  for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
  return words;
}

// --cache: stored where the Properties dialog (Navigator) or the command
// line's settings (Internet Explorer) keep the cache's place.
bool StoreCacheLocation(Edition edition, const std::string& cache, SettingsStore& store) {
  if (edition == Edition::kNavigator)
    return store.WriteSettingText(kBrowserOptions, kFatPath, cache);
  return WriteInternetExplorerCacheFolder(store, cache);
}

void CentreOnScreen(QWidget& window) {
  if (const QScreen* screen = window.screen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
  }
}

}  // namespace

int RunDesktop(Edition edition, int argc, char** argv) {
  const std::string program =
      argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString()
               : std::string("webhoard");
  const DesktopOptions options =
      ParseDesktopOptions(ArgumentsOf(argc, argv), QDir::currentPath().toStdString());
  if (!options.error.empty()) {
    std::fprintf(stderr, "%s: %s (see %s --help)\n", program.c_str(), options.error.c_str(),
                 program.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(DesktopUsage(edition, program).c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("%s %s\n", program.c_str(), WEBHOARD_VERSION);
    return 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromStdString(program));
  QApplication::setApplicationVersion(QStringLiteral(WEBHOARD_VERSION));
  QApplication::setWindowIcon(EditionIcon(edition));
  QApplication::setDesktopFileName(QString::fromStdString(program));

  // A second start of this program file raises the first and ends.
  const QString file_name = QFileInfo(QApplication::applicationFilePath()).fileName();
  SingleInstance instance(file_name, UserRuntimeFolder());
  switch (CheckForSingleInstance(FromQt(file_name))) {
    case InstanceTest::kNotFirst:
      BringFirstInstanceToTop();
      return 0;
    case InstanceTest::kFirst:
      break;
    case InstanceTest::kNotHandledHere:
      if (!instance.Claim()) return 0;
      break;
  }

  QtPrompter prompter;
  HelpSystem help(JoinPath(ProgramDataFolder(), "help"), prompter);
  SetApplicationHelp(&help);
  app.installEventFilter(&help);

  std::string mime_error;
  if (!LoadProgramMimeTypes(NewMimeTypes::kSaved, &mime_error)) {
    prompter.ShowMessage(mime_error, MessageKind::kWarning, kButtonOk, 0);
  }

  Registry& registry = SystemRegistry();
  SettingsStore store(registry);
  if (options.cache && !StoreCacheLocation(edition, *options.cache, store)) {
    prompter.ShowMessage(
        "The cache location could not be stored in the settings:\r\n\r\n" + *options.cache,
        MessageKind::kError, kButtonOk, 0);
  }
  InMemorySettings& settings = Settings();
  TCacheItemList items;

  // The forms, in the written order of the windows.
  TSelectionForm explorer_form(edition, prompter, items);
  TPrefsForm prefs_form(edition, prompter, store, settings,
                        [&registry] { return LocateCacheIndex(registry); });
  prefs_form.FormCreate();

  MainWindow* main_window = nullptr;
  ControlFormWindows windows;
  TControlForm control(edition, prompter, store, settings, items, explorer_form, windows);
  MainWindow window(control, edition);
  main_window = &window;
  ExplorerWindow explorer_window(explorer_form, edition, store, settings, prompter, &window);
  PrefsWindow prefs_window(prefs_form, edition, &window);
  explorer_form.set_show_properties([&prefs_window] { prefs_window.ShowModal(); });

  ArchiveRunEnvironment reindex_environment;
  reindex_environment.edition = edition;
  reindex_environment.prompter = &prompter;
  reindex_environment.settings = &settings;

  windows.show_cache_explorer = [&explorer_window] { explorer_window.ShowModal(); };
  windows.show_properties = [&prefs_window] { prefs_window.ShowModal(); };
  windows.show_search = [&] {
    TSearchFrm form(prompter, store);
    form.FormCreate();
    SearchWindow search(form, main_window);
    search.exec();
  };
  windows.show_reindex = [&] {
    TReindexForm form(prompter, store, reindex_environment);
    form.FormCreate();
    ReindexWindow reindex(form, main_window);
    reindex.exec();
  };
  windows.show_about = [&] {
    AboutBox about(edition, main_window);
    about.exec();
  };
  windows.exit = [main_window] { main_window->close(); };
  windows.show_help = [&help](int context) { return help.ShowTopic(context); };
  control.set_windows(windows);

  QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &MainWindow::BringToTop);
  window.show();
  CentreOnScreen(window);
  const int status = QApplication::exec();
  SetApplicationHelp(nullptr);
  return status;
}

}  // namespace webhoard::gui
