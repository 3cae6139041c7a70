// The index of a large archive: BuildIndex over an archive list of 100,000
// items in 1,000 domains (40 pages, 30 images, 10 sounds, 10 videos and 10
// other files each), with the detailed index on, so every page's excerpt and
// every image's header is read from disk.
//
// Reference, measured in the same run: writing the same number of page
// files with the same total bytes through plain stdio writes and renames,
// plus reading the first block of every file the index looks into. The
// ratio tells how much the page generation costs above the file system work
// it cannot avoid.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "index/build_index.h"

namespace {

using namespace webhoard;

constexpr int kDomains = 1000;
constexpr int kItemsPerDomain = 100;

struct Archive {
  std::string root;
  std::string folder;
  TCacheItemList items;
  std::vector<std::string> looked_into;  // files the index reads
};

std::string Gif(int w, int h) {
  std::string gif = "GIF89a";
  gif += static_cast<char>(w & 0xFF);
  gif += static_cast<char>(w >> 8);
  gif += static_cast<char>(h & 0xFF);
  gif += static_cast<char>(h >> 8);
  gif += std::string(20, '\0');
  return gif;
}

Archive& TheArchive() {
  static std::unique_ptr<Archive> archive = [] {
    auto a = std::make_unique<Archive>();
    a->root = (std::filesystem::temp_directory_path() / "webhoard-index-bench").string();
    std::filesystem::remove_all(a->root);
    a->folder = a->root + "/archive/";
    std::filesystem::create_directories(a->root + "/program");
    LoadMimeTypes(a->root + "/program");
    const int html = LookupMimeType("text/html"), gif = LookupMimeType("image/gif"),
              wav = LookupMimeType("audio/x-wav"), mpg = LookupMimeType("video/mpeg"),
              pdf = LookupMimeType("application/pdf");
    std::string page = "<html><head><title>A page</title></head><body><h1>Heading</h1>";
    for (int i = 0; i < 40; ++i)
      page += "<p>Some words of the page text, <b>bold</b> ones too.</p>\n";
    page += "</body></html>";
    for (int d = 0; d < kDomains; ++d) {
      const std::string domain = "site" + std::to_string(d) + ".example.com";
      for (const char* folder : {"text", "image", "audio", "video", "application"}) {
        std::filesystem::create_directories(a->folder + domain + "/" + folder);
      }
      for (int i = 0; i < kItemsPerDomain; ++i) {
        auto item = std::make_unique<TCacheItem>();
        const int kind = i < 40 ? html : i < 70 ? gif : i < 80 ? wav : i < 90 ? mpg : pdf;
        item->MimeIndex = kind;
        item->Domain = domain;
        item->URL = "http://" + domain + ":80/dir" + std::to_string(i % 7) + "/item" +
                    std::to_string(i) + (kind == html ? ".html" : ".bin");
        item->ArchiveName = "item" + std::to_string(i) + (kind == html ? ".htm" : ".dat");
        item->Title = kind == html ? "Page number " + std::to_string(i) + " of " + domain : "";
        const std::string path = *ArchivePathOf(a->folder, *item);
        if (kind == html || kind == gif) {
          std::FILE* f = std::fopen(path.c_str(), "wb");
          const std::string body = kind == html ? page : Gif(100 + i, 80 + d % 50);
          std::fwrite(body.data(), 1, body.size(), f);
          std::fclose(f);
          a->looked_into.push_back(path);
        }
        a->items.push_back(std::move(item));
      }
    }
    return a;
  }();
  return *archive;
}

struct PageSizes {
  std::vector<std::pair<std::string, std::size_t>> files;
};

PageSizes& WrittenPages() {
  static PageSizes sizes;
  return sizes;
}

void BM_BuildIndex(benchmark::State& state) {
  Archive& archive = TheArchive();
  IndexProgress progress;
  for (auto _ : state) {
    const IndexBuildReport report = BuildIndex(archive.folder, archive.items, true, progress);
    benchmark::DoNotOptimize(report.items);
  }
  if (WrittenPages().files.empty()) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(archive.folder)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file() && name.size() > 4 &&
          name.compare(name.size() - 4, 4, ".htm") == 0 &&
          entry.path().parent_path().filename() != "text") {
        WrittenPages().files.emplace_back(entry.path().string() + ".ref",
                                          static_cast<std::size_t>(entry.file_size()));
      }
    }
  }
  state.counters["items"] = static_cast<double>(archive.items.size());
}

void BM_PlainWritesReference(benchmark::State& state) {
  Archive& archive = TheArchive();
  if (WrittenPages().files.empty()) {
    state.SkipWithError("run BM_BuildIndex first");
    return;
  }
  std::size_t bytes = 0;
  for (auto _ : state) {
    bytes = 0;
    std::vector<char> block(4096);
    for (const std::string& path : archive.looked_into) {
      std::FILE* f = std::fopen(path.c_str(), "rb");
      benchmark::DoNotOptimize(std::fread(block.data(), 1, block.size(), f));
      std::fclose(f);
    }
    for (const auto& [path, size] : WrittenPages().files) {
      const std::string text(size, 'x');
      const std::string temp = path + ".tmp";
      std::FILE* f = std::fopen(temp.c_str(), "wb");
      std::fwrite(text.data(), 1, text.size(), f);
      std::fclose(f);
      std::rename(temp.c_str(), path.c_str());
      bytes += size;
    }
  }
  state.counters["pages"] = static_cast<double>(WrittenPages().files.size());
  state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_BuildIndex)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_PlainWritesReference)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
