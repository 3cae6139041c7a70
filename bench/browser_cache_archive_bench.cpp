// Archiving a Chromium Simple Cache of 100,000 entries the way `webhoard
// archive --chromium DIR --to X --yes` does it: find and read the cache,
// choose every item through the Cache Explorer's form, then the archive run
// (naming, copying and decoding the bodies, rewriting pages and style
// sheets, the catalogue, one sync, the index pages). Beside it, in the same
// run, `cp -r` of the cache folder, and `cp -r` followed by `sync -f` (the
// run syncs once before it saves the catalogue).
//
// The cache is generated once in a temporary folder: 500 sites; 12% pages
// (linking to other entries of their site), 8% style sheets, 25% scripts,
// 45% images, 5% fonts, 5% JSON answers; most bodies small, text mostly
// gzip-encoded. WEBHOARD_BENCH_ENTRIES sets another entry count (for
// profiling a smaller cache); WEBHOARD_BENCH_KEEP leaves the folders in
// place. Every repetition writes into a new folder beside the cache, with
// the disk synced outside the timing, so one repetition's writes are not
// flushed in the next one's time. The page cache is warm for both: the cache
// was just written, and every repetition reads all of it.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cache/mime_types.h"
#include "cli/choice.h"
#include "common/prompter.h"
#include "explorer/browser_cache.h"
#include "forms/archive_run.h"
#include "forms/selection_form.h"
#include "remove_at_exit.h"
#include "settings/in_memory_settings.h"
#include "support/encoded_body.h"
#include "support/simple_cache_writer.h"

namespace {

using namespace webhoard;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kSites = 500;

int EntryCount() {
  const char* wanted = std::getenv("WEBHOARD_BENCH_ENTRIES");
  const int count = wanted != nullptr ? std::atoi(wanted) : 0;
  return count > 0 ? count : 100000;
}

// A small deterministic generator, so every run sees the same cache.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9e3779b97f4a7c15;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9;
  x = (x ^ (x >> 27)) * 0x94d049bb133111eb;
  return x ^ (x >> 31);
}

enum class Kind { kPage, kStyle, kScript, kImage, kFont, kJson };

Kind KindOf(int entry) {
  const std::uint64_t bucket = Mix(static_cast<std::uint64_t>(entry)) % 100;
  if (bucket < 12) return Kind::kPage;
  if (bucket < 20) return Kind::kStyle;
  if (bucket < 45) return Kind::kScript;
  if (bucket < 90) return Kind::kImage;
  if (bucket < 95) return Kind::kFont;
  return Kind::kJson;
}

std::string Origin(int entry) {
  return "https://www.site" + std::to_string(entry % kSites) + ".example";
}

// The path of an entry's address; the image extension follows its type.
std::string PathOf(int entry) {
  const std::string n = std::to_string(entry);
  static const char* const kImageNames[] = {".jpg", ".png", ".gif", ".webp"};
  switch (KindOf(entry)) {
    case Kind::kPage:
      return "/news/" + std::to_string(entry % 7) + "/article" + n + ".html";
    case Kind::kStyle:
      return "/static/css/style" + n + ".css";
    case Kind::kScript:
      return "/static/js/app" + n + ".js?v=3";
    case Kind::kImage:
      return "/images/pic" + n + kImageNames[Mix(entry * 7ull) % 4];
    case Kind::kFont:
      return "/fonts/face" + n + ".woff2";
    case Kind::kJson:
      return "/api/items?page=" + n;
  }
  return "/";
}

std::string TypeOf(int entry) {
  static const char* const kImageTypes[] = {"image/jpeg", "image/png", "image/gif", "image/webp"};
  switch (KindOf(entry)) {
    case Kind::kPage:
      return "text/html; charset=utf-8";
    case Kind::kStyle:
      return "text/css";
    case Kind::kScript:
      return "application/javascript";
    case Kind::kImage:
      return kImageTypes[Mix(entry * 7ull) % 4];
    case Kind::kFont:
      return "font/woff2";
    case Kind::kJson:
      return "application/json";
  }
  return "text/html";
}

// Most bodies are small, a few large: low + (high - low) * r^4.
std::size_t SizeBetween(int entry, std::size_t low, std::size_t high) {
  const double r = static_cast<double>(Mix(entry * 13ull) % 10000) / 10000.0;
  return low + static_cast<std::size_t>(static_cast<double>(high - low) * r * r * r * r);
}

// Another entry of the same site, for links.
int SameSite(int entry, std::uint64_t& state, int entries) {
  const int other = static_cast<int>(Mix(++state) % static_cast<std::uint64_t>(entries));
  const int same_site = other - other % kSites + entry % kSites;
  return same_site < entries ? same_site : entry;
}

std::string PageText(int entry, int entries) {
  const std::size_t size = SizeBetween(entry, 3 * 1024, 60 * 1024);
  std::uint64_t state = Mix(static_cast<std::uint64_t>(entry) << 20);
  std::string text =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Article " +
      std::to_string(entry) + "</title>\n<link rel=\"stylesheet\" href=\"" +
      PathOf(SameSite(entry, state, entries)) + "\">\n<script src=\"" + Origin(entry) +
      PathOf(SameSite(entry, state, entries)) +
      "\" defer></script></head>\n<body class=\"article\">\n";
  while (text.size() < size) {
    const int other = SameSite(entry, state, entries);
    switch (Mix(++state) % 4) {
      case 0:
        text += "<p>Some words of running text about item " + std::to_string(other) +
                ", <b>bold</b> and <em>slanted</em>, with <a href=\"" + PathOf(other) +
                "\">a link</a> inside.</p>\n";
        break;
      case 1:
        text += "<figure><img src=\"" + Origin(entry) + PathOf(other) +
                "\" width=\"640\" height=\"360\" loading=\"lazy\" alt=\"a picture\"></figure>\n";
        break;
      case 2:
        text += "<li><a href=\"https://elsewhere.example.org/never/cached" +
                std::to_string(Mix(state) % 100000) + "\">a page never cached</a></li>\n";
        break;
      default:
        text +=
            "<div class=\"box\"><span>Plain text that holds no link, only words and "
            "more words.</span></div>\n";
    }
  }
  return text + "</body></html>\n";
}

std::string StyleText(int entry, int entries) {
  const std::size_t size = SizeBetween(entry, 2 * 1024, 40 * 1024);
  std::uint64_t state = Mix(static_cast<std::uint64_t>(entry) << 21);
  std::string text;
  while (text.size() < size) {
    const std::string n = std::to_string(Mix(++state) % 1000);
    text += ".block-" + n + " { margin: 0 " + n + "px; color: #333; font: 14px/1.4 sans-serif; }\n";
    if (Mix(++state) % 4 == 0) {
      text += ".hero-" + n + " { background: url(" + PathOf(SameSite(entry, state, entries)) +
              ") no-repeat; }\n";
    }
  }
  return text;
}

std::string ScriptText(int entry) {
  const std::size_t size = SizeBetween(entry, 1024, 100 * 1024);
  std::uint64_t state = Mix(static_cast<std::uint64_t>(entry) << 22);
  std::string text = "\"use strict\";\n";
  while (text.size() < size) {
    const std::string n = std::to_string(Mix(++state) % 5000);
    text += "function f" + n + "(a,b){return a.map(function(x){return x*" + n +
            "+b;}).filter(Boolean);}\nvar v" + n + "=document.querySelector(\".block-" + n +
            "\");\n";
  }
  return text;
}

std::string JsonText(int entry) {
  const std::size_t size = SizeBetween(entry, 200, 8 * 1024);
  std::string text = "{\"items\":[";
  while (text.size() < size) text += "{\"id\":" + std::to_string(text.size()) + ",\"ok\":true},";
  return text + "{}]}";
}

std::string RandomBytes(int entry, std::size_t low, std::size_t high) {
  std::string bytes(SizeBetween(entry, low, high), '\0');
  std::uint64_t state = static_cast<std::uint64_t>(entry) << 23;
  for (std::size_t i = 0; i < bytes.size(); i += 8) {
    const std::uint64_t word = Mix(++state);
    for (std::size_t b = 0; b < 8 && i + b < bytes.size(); ++b) {
      bytes[i + b] = static_cast<char>(word >> (8 * b));
    }
  }
  return bytes;
}

// The body as the server sent it, and whether it is gzip-encoded.
std::string BodyOf(int entry, int entries, bool& gzip) {
  const std::uint64_t coin = Mix(entry * 17ull) % 10;
  switch (KindOf(entry)) {
    case Kind::kPage:
      gzip = coin < 7;
      return PageText(entry, entries);
    case Kind::kStyle:
      gzip = coin < 8;
      return StyleText(entry, entries);
    case Kind::kScript:
      gzip = coin < 8;
      return ScriptText(entry);
    case Kind::kJson:
      gzip = coin < 5;
      return JsonText(entry);
    case Kind::kImage:
      gzip = false;
      return RandomBytes(entry, 200, 30 * 1024);
    case Kind::kFont:
      gzip = false;
      return RandomBytes(entry, 8 * 1024, 60 * 1024);
  }
  return {};
}

testing::SimpleEntrySpec EntrySpec(int entry, int entries) {
  testing::SimpleEntrySpec spec;
  const std::string origin = Origin(entry);
  spec.key = "1/0/_dk_" + origin + " " + origin + " " + origin + PathOf(entry);
  bool gzip = false;
  const std::string body = BodyOf(entry, entries, gzip);
  spec.body = gzip ? testing::GzipOf(body) : body;
  spec.info.head =
      "HTTP/1.1 200 OK\nDate: Sun, 06 Nov 2026 08:49:37 GMT\nContent-Type: " + TypeOf(entry) +
      (gzip ? "\nContent-Encoding: gzip" : "") +
      "\nContent-Length: " + std::to_string(spec.body.size()) +
      "\nCache-Control: max-age=86400\nServer: bench";
  spec.info.response_time = 1'790'000'000 + entry;
  return spec;
}

struct Workspace {
  std::string root;
  std::string cache;
  int entries = 0;
  std::uint64_t cache_bytes = 0;
};

const Workspace& TheWorkspace() {
  static const Workspace workspace = [] {
    Workspace w;
    char pattern[] = "/tmp/webhoard-archive-simple-bench-XXXXXX";
    w.root = ::mkdtemp(pattern);
    w.cache = w.root + "/cache";
    w.entries = EntryCount();
    fs::create_directories(w.cache);
    fs::create_directories(w.root + "/program");
    LoadMimeTypes(w.root + "/program");
    // Written a thousand at a time, so the peak memory measured is the
    // run's, not the generator's.
    std::vector<testing::SimpleEntrySpec> batch;
    for (int i = 0; i < w.entries; ++i) {
      batch.push_back(EntrySpec(i, w.entries));
      w.cache_bytes += batch.back().body.size();
      if (batch.size() == 1000 || i + 1 == w.entries) {
        testing::WriteSimpleCache(w.cache, batch);
        batch.clear();
      }
    }
    // WEBHOARD_BENCH_KEEP keeps it: deleting a million files right before
    // another measurement slows that one's file creation (see FreshTarget).
    if (std::getenv("WEBHOARD_BENCH_KEEP") == nullptr) {
      bench::RemoveAtExit(w.root);
    } else {
      std::fprintf(stderr, "kept: %s\n", w.root.c_str());
    }
    return w;
  }();
  return workspace;
}

// Answers Yes to creating the archive folder and No to opening the index in
// a browser, as --yes does.
class BenchPrompter final : public Prompter {
 public:
  MessageResult ShowMessage(std::string_view, MessageKind kind, unsigned buttons, int) override {
    if (kind == MessageKind::kConfirmation) return MessageResult::kYes;
    return (buttons & kButtonNo) != 0 ? MessageResult::kNo : MessageResult::kOk;
  }
  void ProcessPendingMessages() override {}
};

// Wall seconds of each timed repetition, by name, for the summary.
std::map<std::string, std::vector<double>>& Samples() {
  static std::map<std::string, std::vector<double>> samples;
  return samples;
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Runs the window as the headless host does, and times each phase it shows
// ("Archiving files..." ends with the one sync and the catalogue's save).
class PhaseTimingHost final : public ModalHost {
 public:
  void ShowModal(TExportForm& form) override {
    std::string phase = form.Label4.caption;
    Clock::time_point since = Clock::now();
    auto end_phase = [&] {
      Samples()["  " + phase].push_back(Seconds(since));
      phase = form.Label4.caption;
      since = Clock::now();
    };
    form.set_on_changed([&] {
      if (form.Label4.caption != phase) end_phase();
    });
    form.FormCreate();
    if (form.Timer1.enabled) form.Timer1Timer();
    end_phase();
    form.set_on_changed({});
    if (!form.closed()) form.CancelButtonClick();
  }
};

// A new folder for each repetition, under the workspace (the same file
// system as the cache), with the disk synced untimed before it. Nothing is
// deleted until the end: on ext4 without a journal, files made within a
// minute of many deletions get their inodes only after a long search past
// the deleted ones, which would measure the last repetition's clean-up.
std::string FreshTarget(benchmark::State& state, const std::string& name) {
  static int made = 0;
  state.PauseTiming();
  const std::string target = TheWorkspace().root + "/" + name + std::to_string(++made);
  ::sync();
  state.ResumeTiming();
  return target;
}

long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_ArchiveSimpleCache(benchmark::State& state) {
  const Workspace& w = TheWorkspace();
  BenchPrompter prompter;
  ArchiveRunReport report;
  for (auto _ : state) {
    const std::string archive = FreshTarget(state, "archive");
    const Clock::time_point start = Clock::now();
    TCacheItemList cache;
    const CacheLoadReport load = LoadBrowserCache(CacheBrowser::kChromium, w.cache, cache);
    if (!load.ok()) state.SkipWithError(load.error.c_str());
    TSelectionForm explorer(Edition::kNavigator, prompter, cache);
    cli::ApplyChoice(explorer, cli::CacheChoice{}, "archive", stderr);
    const std::vector<TCacheItem*> chosen = explorer.Chooser().ChosenItems(cache);
    Samples()["read and choose"].push_back(Seconds(start));

    InMemorySettings settings;
    settings.current_archive_folder = archive;
    ArchiveRunEnvironment env;
    env.prompter = &prompter;
    env.settings = &settings;
    env.item_failed = [](const ArchiveItemFailure&) {};
    ArchiveRun run(env);
    run.PrepareArchiveRun();
    run.selection() = chosen;
    PhaseTimingHost host;
    run.RunArchive(host);
    report = run.report();
    Samples()["archive"].push_back(Seconds(start));
  }
  if (report.copied != static_cast<std::size_t>(w.entries) || report.failed != 0) {
    state.SkipWithError("not every entry was archived");
  }
  state.counters["copied"] = static_cast<double>(report.copied);
  state.counters["undecoded"] = static_cast<double>(report.undecoded);
  state.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}
BENCHMARK(BM_ArchiveSimpleCache)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

void CopyTree(benchmark::State& state, const char* name, bool then_sync) {
  for (auto _ : state) {
    const std::string target = FreshTarget(state, "copy");
    const std::string command = "cp -r '" + TheWorkspace().cache + "' '" + target + "'" +
                                (then_sync ? " && sync -f '" + target + "'" : "");
    const Clock::time_point start = Clock::now();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
    Samples()[name].push_back(Seconds(start));
  }
}

void BM_CopyTree(benchmark::State& state) {
  CopyTree(state, "cp -r", false);
}
BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

void BM_CopyTreeAndSync(benchmark::State& state) {
  CopyTree(state, "cp -r + sync", true);
}
BENCHMARK(BM_CopyTreeAndSync)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintSummary() {
  std::map<std::string, double> median;
  std::printf("\n%d entries, %.0f MB of stored bodies; medians of wall time:\n",
              TheWorkspace().entries, static_cast<double>(TheWorkspace().cache_bytes) / 1e6);
  for (const auto& [name, values] : Samples()) {
    median[name] = Median(values);
    std::printf("  %-30s %8.3f s (%zu runs)\n", name.c_str(), median[name], values.size());
  }
  if (median["cp -r"] > 0) {
    std::printf("  archive / cp -r          %.2f\n", median["archive"] / median["cp -r"]);
  }
  if (median["cp -r + sync"] > 0) {
    std::printf("  archive / (cp -r + sync) %.2f\n", median["archive"] / median["cp -r + sync"]);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
