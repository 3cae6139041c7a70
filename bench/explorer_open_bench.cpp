// Opening the Cache Explorer window over a Navigator cache of 100,000 items,
// as the user does: the window comes up, its first paint starts the read,
// and the open ends when "Archive/Delete" holds every domain and the
// counters are set. Besides the time, it reports the longest gap between two
// paints of the window while loading (the window is asked to repaint every
// 10 ms, as a window being moved or uncovered would be) and the peak
// resident memory of the process. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QListView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "gui/explorer_window.h"
#include "gui/qt_prompter.h"
#include "platform/registry.h"

namespace {

using namespace webhoard;

constexpr int kItems = 100000;

// Where the generated cache lives: $WEBHOARD_BENCH_FOLDER, kept for the next
// run (making 100,000 files takes longer than the benchmark), else a
// temporary folder removed at the end.
std::filesystem::path CacheFolder() {
  if (const char* kept = std::getenv("WEBHOARD_BENCH_FOLDER")) return kept;
  return std::filesystem::temp_directory_path() /
         ("webhoard-explorer-bench-" + std::to_string(::getpid()));
}

// A text cache index ("FAT") of kItems entries over `domains` sites, with
// its (empty) cached files.
std::string GeneratedCache(int domains) {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path made = CacheFolder();
    std::filesystem::create_directories(made);
    for (int i = 0; i < kItems; ++i) {
      const std::filesystem::path file = made / ("cache" + std::to_string(i) + ".htm");
      if (!std::filesystem::exists(file)) std::ofstream{file};
    }
    return made;
  }();
  const std::filesystem::path index = folder / ("FAT-" + std::to_string(domains));
  if (!std::filesystem::exists(index)) {
    static const char* const kTypes[] = {"text/html", "image/gif", "application/pdf"};
    std::ofstream out(index, std::ios::binary);
    out << "MCOM-Cache-file-allocation-table-format-1\n";
    const long long newest = 1700000000;  // seconds since 1970
    for (int i = 0; i < kItems; ++i) {
      out << "1\t2\t" << newest - (i % 1000) * 86400LL << "\tcache" << i << ".htm\t"
          << "http://www.site" << (i * 7919) % domains << ".example.com/page" << i << ".htm\t"
          << kTypes[i % 3] << "\t7\t1573\n";
    }
  }
  return index.string();
}

long PeakResidentKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Records the paints of one window: the longest gap between two of them.
class PaintClock : public QObject {
 public:
  explicit PaintClock(QWidget* window) { window->installEventFilter(this); }
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      if (clock_.isValid()) {
        longest_ms_ = std::max(longest_ms_, static_cast<double>(clock_.nsecsElapsed()) / 1e6);
      }
      clock_.restart();
    }
    return false;
  }
  double longest_ms() const { return longest_ms_; }

 private:
  QElapsedTimer clock_;
  double longest_ms_ = 0;
};

void BM_OpenExplorer(benchmark::State& state) {
  const int domains = static_cast<int>(state.range(0));
  InMemorySettings settings;
  settings.cache_index_path = GeneratedCache(domains);
  SettingsStore store(SystemRegistry());
  gui::QtPrompter prompter;
  double longest_gap_ms = 0;
  std::size_t shown = 0;
  for (auto _ : state) {
    TCacheItemList items;
    TSelectionForm form(Edition::kNavigator, prompter, items);
    gui::ExplorerWindow window(form, Edition::kNavigator, store, settings, prompter, nullptr);
    auto* dst_list = window.findChild<QListView*>(QStringLiteral("DstList"));
    PaintClock paints(&window);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &window, [&window] { window.update(); });
    repaint.start(10);
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, &window, [&] {
      if (!form.load_pending && form.BackPanelEnabled && dst_list->model()->rowCount() > 0) window.reject();
    });
    done.start(0);
    form.load_pending = true;
    window.ShowModal();
    longest_gap_ms = std::max(longest_gap_ms, paints.longest_ms());
    shown = static_cast<std::size_t>(dst_list->model()->rowCount());
  }
  state.counters["domains_shown"] = static_cast<double>(shown);
  state.counters["longest_paint_gap_ms"] = longest_gap_ms;
  state.counters["peak_rss_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
}
BENCHMARK(BM_OpenExplorer)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

// Reference: the edition's cache read alone, with the same prompter, into
// a plain list (no window, no domains).
void BM_ReadCacheAlone(benchmark::State& state) {
  const CacheSource source{Edition::kNavigator, GeneratedCache(static_cast<int>(state.range(0)))};
  SettingsStore store(SystemRegistry());
  gui::QtPrompter qt_prompter;
  SilentPrompter silent_prompter;
  Prompter& prompter = state.range(1) != 0 ? static_cast<Prompter&>(qt_prompter) : silent_prompter;
  for (auto _ : state) {
    TCacheItemList items;
    benchmark::DoNotOptimize(LoadEditionCache(source, store, prompter, items).items);
  }
}
BENCHMARK(BM_ReadCacheAlone)
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Iterations(1)
    ->Repetitions(5)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The settings live in a throw-away folder, never the user's.
  const std::string config = (std::filesystem::temp_directory_path() /
                             ("webhoard-bench-config-" + std::to_string(::getpid())))
                                .string();
  ::setenv("WEBHOARD_CONFIG_DIR", config.c_str(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(config);
  if (std::getenv("WEBHOARD_BENCH_FOLDER") == nullptr) std::filesystem::remove_all(CacheFolder());
  return 0;
}
