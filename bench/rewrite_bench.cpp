// The link rewriter's throughput on large, real-looking pages.
//
// A page of about 1 MB: running text, tables, comments and a link-carrying
// tag every couple of hundred bytes (anchors, images, backgrounds, frames, a
// refresh), of which about half lead to items of the run's selection or the
// archive, and the rest to pages never archived. The selection holds 10,000
// items, so every look-up goes through a realistic hash table.
//
// Reference: a plain copy of the same bytes (one allocation and memcpy),
// measured in the same run. Both report bytes per second of page input.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/link_options.h"
#include "archive/link_rewriter.h"
#include "archive/link_targets.h"
#include "cache/mime_types.h"

namespace {

using namespace webhoard;

constexpr int kItems = 10000;
constexpr int kSites = 50;

std::uint32_t Next(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

std::string Site(int n) {
  return "www.site" + std::to_string(n) + ".example.com";
}

struct Fixture {
  TCacheItemList items;
  std::vector<TCacheItem*> selection;
  std::string page;
  std::unique_ptr<LinkTargets> targets;
  LinkOptions options;
};

Fixture& TheFixture() {
  static std::unique_ptr<Fixture> fixture = [] {
    auto f = std::make_unique<Fixture>();
    const auto program = std::filesystem::temp_directory_path() / "webhoard-rewrite-bench";
    std::filesystem::create_directories(program);
    LoadMimeTypes(program.string());
    const int html = LookupMimeType("text/html"), gif = LookupMimeType("image/gif");
    for (int i = 0; i < kItems; ++i) {
      auto item = std::make_unique<TCacheItem>();
      item->URL = "http://" + Site(i % kSites) + ":80/dir" + std::to_string(i % 7) + "/item" +
                  std::to_string(i) + (i % 3 == 0 ? ".html" : ".gif");
      item->Domain = Site(i % kSites);
      item->MimeIndex = i % 3 == 0 ? html : gif;
      item->ArchiveName = "item" + std::to_string(i) + (i % 3 == 0 ? ".htm" : ".gif");
      f->selection.push_back(item.get());
      f->items.push_back(std::move(item));
    }
    f->targets = std::make_unique<LinkTargets>(f->selection, nullptr);
    f->options.emphasize_links = true;
    std::uint32_t state = 7;
    std::string& p = f->page;
    p = "<html><head><title>A large page</title>\n"
        "<meta http-equiv=\"refresh\" content=\"600; URL=/dir1/item3.html\"></head>\n"
        "<body background=\"/images/back.gif\" bgcolor=\"#ffffff\">\n";
    while (p.size() < 1024 * 1024) {
      const int target = static_cast<int>(Next(state) % kItems);
      const bool archived = Next(state) % 2 == 0;
      const std::string url =
          archived ? "http://" + Site(target % kSites) + "/dir" + std::to_string(target % 7) +
                         "/item" + std::to_string(target)
                   : "http://elsewhere.example.org/page" + std::to_string(target);
      switch (Next(state) % 6) {
        case 0:
          p += "<p class=\"text\">Running text of the page with <b>bold</b> words, <i>slanted"
               "</i> words and a link to <a href=\"" +
               url + (target % 3 == 0 ? ".html" : ".gif") +
               "\" target=\"_top\">another page</a> in the middle of it.</p>\n";
          break;
        case 1:
          p += "<img src=\"" + url + ".gif\" width=\"120\" height=\"80\" border=\"0\" alt=\"x\">\n";
          break;
        case 2:
          p += "<tr><td align=\"left\" valign=\"top\" width=\"50%\">A table cell of text</td>"
               "<td><a href=\"item" +
               std::to_string(target) + ".html\">relative</a></td></tr>\n";
          break;
        case 3:
          p += "<!-- a comment <a href=\"x.html\"> that holds a tag -->\n";
          break;
        case 4:
          p += "<frame src=\"" + url + ".html\" name=\"main\" scrolling=\"auto\">\n";
          break;
        default:
          p += "<div><span>Only words here, some punctuation; numbers 1, 2, 3 and no link "
               "at all in this paragraph of the page.</span></div>\n";
      }
    }
    p += "</body></html>\n";
    return f;
  }();
  return *fixture;
}

void BM_RewritePage(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    std::string out = RewritePageText(f.page, "http://www.site1.example.com:80/dir1/page.html",
                                      *f.targets, f.options);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.page.size()));
}
BENCHMARK(BM_RewritePage)->Unit(benchmark::kMillisecond)->Repetitions(5);

void BM_PlainCopy(benchmark::State& state) {
  Fixture& f = TheFixture();
  for (auto _ : state) {
    std::string out(f.page.size(), '\0');
    std::memcpy(out.data(), f.page.data(), f.page.size());
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.page.size()));
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace

BENCHMARK_MAIN();
