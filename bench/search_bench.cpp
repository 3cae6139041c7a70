// The archive search over an archive of 10,000 pages, beside the same work
// done by `grep -rlF` and by a plain read of every file, measured in the
// same run. The archive is generated once in a temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/archive_layout.h"
#include "archive/archive_record.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "remove_at_exit.h"
#include "search/archive_search.h"

namespace {

using namespace webhoard;

constexpr int kPages = 10000;
constexpr int kDomains = 100;

std::string Record(int mime_index, const std::string& url, const std::string& name) {
  TCacheItem item;
  item.MimeIndex = mime_index;
  item.Date = 40000.0;
  item.URL = url;
  item.Title = "A page";
  item.ArchiveName = name;
  std::string out;
  AppendArchiveRecord(out, item);
  return out;
}

// A page of about 6 KB of ordinary markup; one page in 500 holds the word.
std::string Page(int i) {
  std::string page = "<html><head><title>Page " + std::to_string(i) + "</title></head><body>\n";
  while (page.size() < 6000) {
    page += "<p>Lorem ipsum dolor sit amet, <a href=\"http://example.com/" + std::to_string(i) +
            "\">consectetur</a> adipiscing elit, sed do eiusmod tempor.</p>\n";
  }
  if (i % 500 == 0) page += "<p>Zanzibar</p>";
  return page + "</body></html>\n";
}

const std::string& ArchiveFolder() {
  static const std::string folder = [] {
    char pattern[] = "/tmp/webhoard-search-bench-XXXXXX";
    std::string made = ::mkdtemp(pattern);
    LoadMimeTypes(made + "/program/");
    std::string catalogue;
    for (int i = 0; i < kPages; ++i) {
      const std::string domain = "site" + std::to_string(i % kDomains) + ".example.com";
      const std::string name = "p" + std::to_string(i) + ".htm";
      catalogue += Record(1, "http://" + domain + ":80/page" + std::to_string(i) + ".html", name);
      std::filesystem::create_directories(made + "/" + domain + "/text");
      WriteFileAtomically(made + "/" + domain + "/text/" + name, Page(i));
    }
    WriteFileAtomically(made + "/archive.dat", catalogue);
    bench::RemoveAtExit(made);
    return made;
  }();
  return folder;
}

void BM_SearchArchiveText(benchmark::State& state) {
  const std::string& folder = ArchiveFolder();
  for (auto _ : state) {
    const SearchResult result = SearchArchive(folder, "", "zanzibar");
    if (result.hits.size() != kPages / 500) state.SkipWithError("wrong hit count");
  }
}
BENCHMARK(BM_SearchArchiveText)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_SearchArchiveUrl(benchmark::State& state) {
  const std::string& folder = ArchiveFolder();
  for (auto _ : state) benchmark::DoNotOptimize(SearchArchive(folder, "site7.", ""));
}
BENCHMARK(BM_SearchArchiveUrl)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The reference: grep over the same files (one process, as a user runs it).
void BM_GrepRecursive(benchmark::State& state) {
  const std::string command =
      "grep -rlFi --include='*.htm' zanzibar '" + ArchiveFolder() + "' > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) == -1) state.SkipWithError("grep did not run");
  }
}
BENCHMARK(BM_GrepRecursive)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The other reference: reading every page whole, nothing else.
void BM_PlainReadOfEveryPage(benchmark::State& state) {
  const std::string& folder = ArchiveFolder();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      if (entry.is_regular_file() && entry.path().extension() == ".htm") {
        bytes += ReadFileBytes(entry.path().string()).value_or("").size();
      }
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_PlainReadOfEveryPage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
