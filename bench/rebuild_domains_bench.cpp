// Grouping a cache of 100,000 items by domain, as every load, filter change
// and deletion of the Cache Explorer does, and recounting the chosen
// domains' counters.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "explorer/domain_table.h"
#include "explorer/item_chooser.h"

namespace {

using namespace webhoard;

const TCacheItemList& Cache(int domains) {
  static TCacheItemList items;
  static int made_for = -1;
  if (made_for != domains) {
    items.clear();
    for (int i = 0; i < 100000; ++i) {
      auto item = std::make_unique<TCacheItem>();
      item->Domain = "www.site" + std::to_string((i * 7919) % domains) + ".example.com";
      item->Category = i % 3;
      item->Date = 40000.0 + i % 1000;
      items.push_back(std::move(item));
    }
    made_for = domains;
  }
  return items;
}

void BM_RebuildDomains(benchmark::State& state) {
  const TCacheItemList& items = Cache(static_cast<int>(state.range(0)));
  const AgeWindow window{0.0, 50000.0};
  for (auto _ : state) {
    DomainTable table = RebuildDomainTable(items, window);
    benchmark::DoNotOptimize(SumCounts(table.entries, table.sorted_names));
  }
}
BENCHMARK(BM_RebuildDomains)
    ->Arg(100)
    ->Arg(5000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ChooseItems(benchmark::State& state) {
  const TCacheItemList& items = Cache(5000);
  const DomainTable table = RebuildDomainTable(items, {0.0, 50000.0});
  const ItemChooser chooser({0.0, 50000.0}, table.sorted_names, {});
  for (auto _ : state) benchmark::DoNotOptimize(chooser.ChosenItems(items));
}
BENCHMARK(BM_ChooseItems)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
