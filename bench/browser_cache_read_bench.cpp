// Listing a Chromium Simple Cache of 100,000 entries (as Chromium writes it
// on Linux: one "_0" file per entry) into stored responses, beside a plain
// open, read and close of every entry file in the same run. The cache is
// generated once in a temporary folder by the tests' writer.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cache/chromium/simple_cache_reader.h"
#include "remove_at_exit.h"
#include "support/simple_cache_writer.h"

namespace {

using namespace webhoard;

constexpr int kEntries = 100000;

const std::string& CacheFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/webhoard-simple-bench-XXXXXX";
    const std::string made = ::mkdtemp(pattern);
    // Written a thousand at a time, so the peak memory measured is the
    // reader's, not the writer's.
    std::vector<testing::SimpleEntrySpec> entries;
    for (int i = 0; i < kEntries; ++i) {
      const std::string site = "https://site" + std::to_string(i % 1000) + ".example";
      testing::SimpleEntrySpec entry;
      entry.key = "1/0/_dk_" + site + " " + site + " " + site + "/dir/page" + std::to_string(i) +
                  (i % 3 == 0 ? ".css" : ".html");
      entry.info.head = "HTTP/1.1 200 OK\nDate: Sun, 06 Nov 2026 08:49:37 GMT\nContent-Type: " +
                        std::string(i % 3 == 0 ? "text/css" : "text/html; charset=utf-8") +
                        "\nContent-Encoding: gzip\nCache-Control: max-age=3600\nVary: "
                        "Accept-Encoding\nServer: bench";
      entry.body = std::string(1024 + (i % 7) * 300, static_cast<char>('a' + i % 26));
      entries.push_back(std::move(entry));
      if (entries.size() == 1000) {
        testing::WriteSimpleCache(made, entries);
        entries.clear();
      }
    }
    bench::RemoveAtExit(made);
    return made;
  }();
  return folder;
}

long PeakKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void BM_ReadSimpleCache(benchmark::State& state) {
  CacheFolder();
  for (auto _ : state) {
    const StoredResponses read = ReadSimpleCache(CacheFolder());
    if (read.responses.size() != kEntries) state.SkipWithError("wrong response count");
  }
  state.counters["peak_MB"] = static_cast<double>(PeakKilobytes()) / 1024.0;
}
BENCHMARK(BM_ReadSimpleCache)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();

// The least any reader must do: list the folder, open, read and close
// every entry file.
void BM_ReferenceReadEveryFile(benchmark::State& state) {
  CacheFolder();
  std::vector<char> buffer(1 << 16);
  for (auto _ : state) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(CacheFolder())) {
      std::FILE* file = std::fopen(entry.path().c_str(), "rb");
      if (file == nullptr) continue;
      while (std::fread(buffer.data(), 1, buffer.size(), file) == buffer.size()) {
      }
      std::fclose(file);
      ++files;
    }
    benchmark::DoNotOptimize(files);
  }
}
BENCHMARK(BM_ReferenceReadEveryFile)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
