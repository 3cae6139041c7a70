#include "cli/item_json.h"

#include "cache/mime_types.h"
#include "cli/json_line.h"
#include "common/date_time.h"
#include "common/file_util.h"

namespace webhoard::cli {
namespace {

std::string_view CategoryWord(std::int32_t category) {
  switch (category) {
    case kCategoryText:
      return "text";
    case kCategoryMedia:
      return "media";
    case kCategoryOther:
      return "other";
  }
  return "";
}

// The fields a cache item and a catalogue record share.
JsonLine CommonFields(const TCacheItem& item) {
  JsonLine line;
  line.Text("url", item.URL)
      .Text("site", item.Domain)
      .Number("mime_index", item.MimeIndex)
      .Text("mime_type", item.MimeIndex > 0 && item.MimeIndex <= MimeTypeCount()
                             ? MimeTypeName(item.MimeIndex)
                             : "")
      .Number("category", item.Category)
      .Text("category_name", CategoryWord(item.Category))
      .Text("date", FormatIsoLocalDateTime(item.Date));
  return line;
}

}  // namespace

std::string CacheItemJson(const TCacheItem& item) {
  const std::optional<std::uint64_t> size =
      item.Body ? std::optional<std::uint64_t>(item.Body->length) : FileSize(item.LocalFile);
  return CommonFields(item).Text("file", item.LocalFile).Size("size", size).Finish();
}

std::string CatalogueRecordJson(const TCacheItem& record, const std::string& archive_file) {
  return CommonFields(record)
      .Text("title", record.Title)
      .Text("archive_name", record.ArchiveName)
      .Text("file", archive_file)
      .Size("size", FileSize(archive_file))
      .Finish();
}

}  // namespace webhoard::cli
