// A whole archive catalogue loaded from a real archive folder, as an archive
// run and a re-index load it: the input is archive.dat, beside a few
// archived copies. Every kept record must name a copy inside the archive
// that exists; a damaged catalogue must be kept aside byte for byte before
// the save replaces it; and what was saved must load again, clean and alike.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_info_file.h"
#include "archive/archive_layout.h"
#include "cache/mime_types.h"
#include "common/file_util.h"
#include "fuzz_files.h"

namespace {

constexpr const char* kName = "archive_catalogue_fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace webhoard;
  static const bool types_loaded = [] {
    LoadMimeTypes(fuzz_files::FreshFolder("program") + "/");
    return true;
  }();
  (void)types_loaded;
  const std::string archive = fuzz_files::FreshFolder("archive");
  fuzz_files::WriteFile(archive + "/a.example/text/a.htm", "<html>a</html>");
  fuzz_files::WriteFile(archive + "/b.example/image/b.gif", "GIF89a");
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string dat = archive + "/archive.dat";
  if (!fuzz_files::WriteFile(dat, bytes)) return 0;

  TakenNames taken;
  ArchiveList list = LoadArchiveList(archive, taken);
  for (const auto& item : list.items()) {
    const auto path = ArchivePathOf(archive, *item);
    fuzz_files::Check(path.has_value() && fuzz_files::IsInside(*path, archive) && FileExists(*path),
                      kName, "a kept record names no copy inside the archive");
  }
  const ArchiveSaveResult saved = SaveArchiveList(list);
  fuzz_files::Check(saved.ok, kName, "the save failed");
  if (list.load_report().damaged) {
    fuzz_files::Check(ReadFileBytes(saved.kept_aside).value_or("") == bytes, kName,
                      "the damaged catalogue was not kept aside whole");
  }
  TakenNames again_taken;
  const ArchiveList again = LoadArchiveList(archive, again_taken);
  fuzz_files::Check(!again.load_report().damaged, kName, "a saved catalogue loads as damaged");
  fuzz_files::Check(again.size() == list.size(), kName, "a saved catalogue lost records");
  for (std::size_t i = 0; i < again.size(); ++i) {
    fuzz_files::Check(again.items()[i]->URL == list.items()[i]->URL, kName,
                      "a saved catalogue reads back otherwise");
  }
  return 0;
}
