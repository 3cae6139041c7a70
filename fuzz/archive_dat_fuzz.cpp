// Fuzz target: the catalogue reader. Whatever the bytes, reading stops at
// the first damaged record, never reads outside the input, and every record
// it accepts writes back as exactly the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_layout.h"
#include "archive/archive_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const webhoard::ArchiveRecordParse parse = webhoard::ParseArchiveRecords(bytes);
  if (parse.consumed > size) __builtin_trap();
  if (parse.damage.empty() != (parse.consumed == size)) __builtin_trap();
  std::string again;
  for (const auto& item : parse.items) {
    webhoard::AppendArchiveRecord(again, *item);
    // Paths are only ever built from plain names.
    if (const auto sub = webhoard::ArchiveSubPath("host", "text", item->ArchiveName)) {
      if (sub->find("..") == 0 || sub->find("/../") != std::string::npos) __builtin_trap();
    }
  }
  if (again != bytes.substr(0, parse.consumed)) __builtin_trap();
  return 0;
}
