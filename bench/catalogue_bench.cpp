// Reading a catalogue of 100,000 records: through the file's 32 KiB
// read-ahead record by record (as every reader of a catalogue does), and
// from the whole file in memory, beside a plain read of the same file in the
// same run. The catalogue is generated once in a temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "archive/archive_record.h"
#include "cache/buffered_file_stream.h"
#include "common/file_util.h"
#include "remove_at_exit.h"

namespace {

using namespace webhoard;

constexpr int kRecords = 100000;

const std::string& CataloguePath() {
  static const std::string path = [] {
    char pattern[] = "/tmp/webhoard-catalogue-bench-XXXXXX";
    const std::string folder = ::mkdtemp(pattern);
    std::string bytes;
    TCacheItem item;
    for (int i = 0; i < kRecords; ++i) {
      item.MimeIndex = 1 + i % 40;
      item.Date = 40000.0 + i;
      item.URL = "http://site" + std::to_string(i % 1000) + ".example.com:80/dir/page" +
                 std::to_string(i) + ".html";
      item.Title = "Page number " + std::to_string(i);
      item.ArchiveName = "page" + std::to_string(i) + ".htm";
      AppendArchiveRecord(bytes, item);
    }
    WriteFileAtomically(folder + "/archive.dat", bytes);
    bench::RemoveAtExit(folder);
    return folder + "/archive.dat";
  }();
  return path;
}

void BM_ReadRecordsThroughReadAhead(benchmark::State& state) {
  for (auto _ : state) {
    TSimpleBufferFileStream stream(CataloguePath(), FileOpenMode::kReadOnly);
    ArchiveRecordReader reader(stream);
    TCacheItem item;
    int count = 0;
    while (reader.ReadFromStream(item) == RecordReadResult::kRecord) ++count;
    if (count != kRecords) state.SkipWithError("wrong record count");
  }
}
BENCHMARK(BM_ReadRecordsThroughReadAhead)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_ReadRecordsInMemory(benchmark::State& state) {
  for (auto _ : state) {
    const auto bytes = ReadFileBytes(CataloguePath());
    const ArchiveRecordParse parse = ParseArchiveRecords(*bytes);
    if (parse.items.size() != kRecords) state.SkipWithError("wrong record count");
  }
}
BENCHMARK(BM_ReadRecordsInMemory)->Unit(benchmark::kMillisecond)->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Reference: the bytes alone.
void BM_PlainRead(benchmark::State& state) {
  for (auto _ : state) {
    const auto bytes = ReadFileBytes(CataloguePath());
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
