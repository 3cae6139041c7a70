#include "archive/archive_record.h"

#include "common/little_endian.h"

namespace webhoard {
namespace {

Bytes AsBytes(std::string_view text) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// One text of a record: `length` bytes ending in the only NUL among them.
bool WellFormedText(std::string_view field) {
  return !field.empty() && field.find('\0') == field.size() - 1;
}

}  // namespace

void AppendArchiveRecord(std::string& out, const TCacheItem& item) {
  AppendLE<std::int32_t>(out, item.MimeIndex);
  AppendLE<std::int32_t>(out, item.Category);
  AppendLE<std::uint64_t>(out, BitsFromDouble(item.Date));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(item.URL.size() + 1));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(item.Title.size() + 1));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(item.ArchiveName.size() + 1));
  for (const std::string* text : {&item.URL, &item.Title, &item.ArchiveName}) {
    out.append(*text);
    out.push_back('\0');
  }
}

ArchiveRecordParse ParseArchiveRecords(std::string_view bytes) {
  ArchiveRecordParse parse;
  const Bytes data = AsBytes(bytes);
  std::size_t offset = 0;
  std::size_t number = 0;
  auto fail = [&](const std::string& what) {
    parse.damage =
        "record " + std::to_string(number) + " at offset " + std::to_string(offset) + ": " + what;
  };
  while (offset < bytes.size()) {
    const std::size_t remaining = bytes.size() - offset;
    if (remaining < kArchiveRecordHeadSize) {
      fail("the file ends inside its head (" + std::to_string(remaining) + " of " +
           std::to_string(kArchiveRecordHeadSize) + " bytes)");
      break;
    }
    const std::uint8_t* head = data.data() + offset;
    const std::uint32_t lengths[3] = {LoadLE<std::uint32_t>(head + 16),
                                      LoadLE<std::uint32_t>(head + 20),
                                      LoadLE<std::uint32_t>(head + 24)};
    static constexpr const char* kNames[3] = {"URL", "title", "archive name"};
    std::size_t at = offset + kArchiveRecordHeadSize;
    std::string_view texts[3];
    bool ok = true;
    for (int k = 0; k < 3 && ok; ++k) {
      if (lengths[k] == 0) {
        fail(std::string("zero length of the ") + kNames[k]);
        ok = false;
      } else if (!FitsIn(bytes.size(), at, lengths[k])) {
        fail(std::string("length ") + std::to_string(lengths[k]) + " of the " + kNames[k] +
             " runs past the end of the file");
        ok = false;
      } else {
        texts[k] = bytes.substr(at, lengths[k]);
        if (!WellFormedText(texts[k])) {
          fail(std::string("the ") + kNames[k] + " is not a NUL-terminated text");
          ok = false;
        }
        at += lengths[k];
      }
    }
    if (!ok) break;
    auto item = std::make_unique<TCacheItem>();
    item->MimeIndex = LoadLE<std::int32_t>(head);
    item->Category = LoadLE<std::int32_t>(head + 4);
    item->Date = DoubleFromBits(LoadLE<std::uint64_t>(head + 8));
    item->URL.assign(texts[0].substr(0, texts[0].size() - 1));
    item->Title.assign(texts[1].substr(0, texts[1].size() - 1));
    item->ArchiveName.assign(texts[2].substr(0, texts[2].size() - 1));
    parse.items.push_back(std::move(item));
    offset = at;
    ++number;
  }
  parse.consumed = offset;
  return parse;
}

}  // namespace webhoard
