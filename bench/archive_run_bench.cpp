// A whole archive run over a generated cache of 10,000 items, against
// `cp -r` of the same cached files, measured in the same run.
//
// The cache: 50 sites; 300 HTML pages of about 40 KB with 300 links each
// (to other items of the cache, to pages never cached, relative and
// absolute), and 9,700 other files (images, sounds, documents) of 2 KB to
// 300 KB, most of them small. The run names every item, copies it (pages
// through the link rewriting), saves the catalogue and writes the index
// pages. Every repetition starts from an empty archive folder; the folder is
// removed outside the timing.
//
// References: `cp -r` of the cache folder to an empty folder, and the same
// followed by `sync -f`, as the run syncs once at its end. The ratio of the
// medians is what the run costs above copying the bytes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cache/mime_types.h"
#include "common/prompter.h"
#include "forms/archive_run.h"
#include "settings/in_memory_settings.h"
#include "url/canonical_url.h"

namespace {

using namespace webhoard;
namespace fs = std::filesystem;

constexpr int kItems = 10000;
constexpr int kPages = 300;
constexpr int kSites = 50;
constexpr int kLinksPerPage = 300;

struct Cache {
  std::string root;
  std::string cache_folder;
  TCacheItemList items;
};

// A small deterministic generator, so every run sees the same cache.
std::uint32_t Next(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// Answers Yes to creating the archive folder and No to opening the index in
// a browser afterwards.
class BenchPrompter final : public Prompter {
 public:
  MessageResult ShowMessage(std::string_view, MessageKind kind, unsigned buttons, int) override {
    if (kind == MessageKind::kConfirmation) return MessageResult::kYes;
    return (buttons & kButtonNo) != 0 ? MessageResult::kNo : MessageResult::kOk;
  }
  void ProcessPendingMessages() override {}
};

std::string Site(int n) {
  return "www.site" + std::to_string(n) + ".example.com";
}

std::string Page(int page, std::uint32_t& state) {
  std::string text = "<html><head><title>Page " + std::to_string(page) +
                     "</title><link rel=\"stylesheet\" href=\"/style.css\"></head>\n"
                     "<body bgcolor=\"#ffffff\" background=\"images/back.gif\">\n";
  for (int link = 0; link < kLinksPerPage; ++link) {
    const int target = static_cast<int>(Next(state) % kItems);
    const std::string url = "http://" + Site(target % kSites) + "/dir" +
                            std::to_string(target % 7) + "/item" + std::to_string(target);
    switch (link % 5) {
      case 0:
        text +=
            "<p class=\"para\">Some words of running text, <b>bold</b> and <i>slanted</i>, "
            "before a link to <a href=\"" +
            url + ".html\">another page</a>.</p>\n";
        break;
      case 1:
        text += "<img src=\"" + url + ".gif\" width=\"120\" height=\"80\" alt=\"a picture\">\n";
        break;
      case 2:
        text += "<td align=\"left\" valign=\"top\"><a href=\"item" + std::to_string(link) +
                ".html\" target=\"_top\">a relative link</a></td>\n";
        break;
      case 3:
        text += "<li><a href=\"http://elsewhere.example.org/never/cached" + std::to_string(link) +
                ".html\">a page never cached</a> with some more words after it</li>\n";
        break;
      default:
        text +=
            "<!-- a comment with <a href=\"x\"> inside -->\n<div><span>"
            "Plain text in a span that holds no link at all, only words.</span></div>\n";
    }
  }
  text += "</body></html>\n";
  return text;
}

Cache& TheCache() {
  static std::unique_ptr<Cache> cache = [] {
    auto c = std::make_unique<Cache>();
    c->root = (fs::temp_directory_path() / "webhoard-archive-run-bench").string();
    fs::remove_all(c->root);
    c->cache_folder = c->root + "/cache";
    fs::create_directories(c->cache_folder);
    fs::create_directories(c->root + "/program");
    LoadMimeTypes(c->root + "/program");
    const int html = LookupMimeType("text/html"), gif = LookupMimeType("image/gif"),
              jpeg = LookupMimeType("image/jpeg"), wav = LookupMimeType("audio/x-wav"),
              pdf = LookupMimeType("application/pdf");
    std::uint32_t state = 12345;
    std::string bytes;
    for (int i = 0; i < kItems; ++i) {
      auto item = std::make_unique<TCacheItem>();
      const bool page = i % (kItems / kPages) == 0;
      const int kind = page ? html : i % 10 < 6 ? gif : i % 10 < 8 ? jpeg : i % 10 < 9 ? wav : pdf;
      item->URL = "http://" + Site(i % kSites) + ":80/dir" + std::to_string(i % 7) + "/item" +
                  std::to_string(i) +
                  (page          ? ".html"
                   : kind == pdf ? ".pdf"
                                 : ".gif");
      item->MimeIndex = kind;
      item->Category = MimeTypeCategory(MimeTypeName(kind));
      item->Date = 40000.0 + i;
      item->Domain = DomainOfStoredUrl(item->URL);
      item->LocalFile = c->cache_folder + "/f" + std::to_string(i);
      if (page) {
        bytes = Page(i, state);
      } else {
        // 70% of 2-20 KB, 25% of 20-100 KB, 5% of 100-300 KB.
        const std::uint32_t band = Next(state) % 100;
        const std::size_t size = band < 70   ? 2048 + Next(state) % (18 * 1024)
                                 : band < 95 ? 20480 + Next(state) % (80 * 1024)
                                             : 102400 + Next(state) % (200 * 1024);
        bytes.resize(size);
        for (char& b : bytes) b = static_cast<char>(Next(state));
      }
      std::FILE* f = std::fopen(item->LocalFile.c_str(), "wb");
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
      c->items.push_back(std::move(item));
    }
    return c;
  }();
  return *cache;
}

void BM_ArchiveRun(benchmark::State& state) {
  Cache& cache = TheCache();
  const std::string archive = cache.root + "/archive";
  BenchPrompter prompter;
  InMemorySettings settings;
  settings.current_archive_folder = archive;
  std::size_t copied = 0;
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(archive);
    for (auto& item : cache.items) item->ArchiveName.clear();
    state.ResumeTiming();
    ArchiveRunEnvironment env;
    env.prompter = &prompter;
    env.settings = &settings;
    ArchiveRun run(env);
    run.PrepareArchiveRun();
    for (auto& item : cache.items) run.selection().push_back(item.get());
    HeadlessModalHost host;
    run.RunArchive(host);
    copied = run.report().copied;
    run.FinishArchiveRun();
  }
  state.counters["copied"] = static_cast<double>(copied);
}
BENCHMARK(BM_ArchiveRun)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

void BM_CopyTree(benchmark::State& state) {
  Cache& cache = TheCache();
  const std::string target = cache.root + "/copy";
  const std::string command = "cp -r '" + cache.cache_folder + "' '" + target + "'";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp failed");
  }
}
BENCHMARK(BM_CopyTree)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);

// The run ends with one sync of the archive's file system (so the catalogue
// never names copies that are not on disk); this reference pays the same.
void BM_CopyTreeAndSync(benchmark::State& state) {
  Cache& cache = TheCache();
  const std::string target = cache.root + "/copy";
  const std::string command =
      "cp -r '" + cache.cache_folder + "' '" + target + "' && sync -f '" + target + "'";
  for (auto _ : state) {
    state.PauseTiming();
    fs::remove_all(target);
    state.ResumeTiming();
    if (std::system(command.c_str()) != 0) state.SkipWithError("cp or sync failed");
  }
}
BENCHMARK(BM_CopyTreeAndSync)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
