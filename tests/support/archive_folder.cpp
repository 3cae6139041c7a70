#include "support/archive_folder.h"

#include <cstdint>

#include "cache/mime_types.h"
#include "common/little_endian.h"
#include "url/canonical_url.h"

namespace webhoard::testing {

std::string CatalogueRecord(int mime_index, double date, const std::string& url,
                            const std::string& title, const std::string& archive_name) {
  std::string out;
  AppendLE<std::int32_t>(out, mime_index);
  AppendLE<std::int32_t>(out, MimeTypeCategory(MimeTypeName(mime_index)));
  AppendLE<double>(out, date);
  for (const std::string* text : {&url, &title, &archive_name}) {
    AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(text->size() + 1));
  }
  for (const std::string* text : {&url, &title, &archive_name}) {
    out += *text;
    out.push_back('\0');
  }
  return out;
}

ArchiveFolder::ArchiveFolder() {
  LoadMimeTypes(dir.File("program/"));
}

void ArchiveFolder::AddRecord(const std::string& url, int mime_index,
                              const std::string& archive_name) {
  catalogue_ += CatalogueRecord(mime_index, 40000.0, url, "title", archive_name);
}

std::string ArchiveFolder::Add(const std::string& url, int mime_index,
                               const std::string& archive_name, const char* contents) {
  AddRecord(url, mime_index, archive_name);
  const std::string relative =
      "archive/" + DomainOfStoredUrl(url) + "/" + MimeTypeFolder(mime_index) + "/" + archive_name;
  if (contents == nullptr) return dir.File(relative);
  return dir.Write(relative, contents);
}

void ArchiveFolder::Save() const {
  dir.Write("archive/archive.dat", catalogue_);
}

}  // namespace webhoard::testing
