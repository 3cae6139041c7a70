// webhoard catalog FOLDER: archive.dat as text, one record per line.
#include <string>

#include "archive/archive_layout.h"
#include "cache/buffered_file_stream.h"
#include "cache/cache_item.h"
#include "cli/command.h"
#include "common/date_time.h"
#include "common/file_util.h"

namespace webhoard::cli {

std::string OutputField(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

int RunCatalog(Arguments& args, Console& console) {
  const auto folder = args.Operand();
  args.ExpectNoMore();
  if (!folder || folder->empty()) throw UsageError("catalog needs the archive folder");
  const std::string path = ArchiveRootFile(*folder, kArchiveInfoFileName);
  if (!FileExists(path)) throw WorkError(path + ": no archive catalogue (archive.dat) here");

  TSimpleBufferFileStream stream(path, FileOpenMode::kReadOnly);
  std::size_t count = 0;
  for (;;) {
    TCacheItem item;
    const RecordReadResult result = item.ReadRecord(stream);
    if (result == RecordReadResult::kEnd) break;
    if (result == RecordReadResult::kDamaged) {
      std::fprintf(console.err, "webhoard: %s: damaged after record %zu (offset %llu)\n",
                   path.c_str(), count, static_cast<unsigned long long>(stream.ReadPosition()));
      return kExitFailed;
    }
    ++count;
    std::fprintf(console.out, "%d\t%d\t%s\t%s\t%s\t%s\n", item.MimeIndex, item.Category,
                 FormatDateTime(item.Date).c_str(), OutputField(item.URL).c_str(),
                 OutputField(item.Title).c_str(), OutputField(item.ArchiveName).c_str());
  }
  return kExitOk;
}

}  // namespace webhoard::cli
