#include "archive_run_fixture.h"

#include "cache/mime_types.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "index/build_index.h"
#include "url/canonical_url.h"

namespace webhoard::testing {

ArchiveRunFixture::ArchiveRunFixture() {
  LoadMimeTypes(dir.File("program/"));
  settings.current_archive_folder = dir.File("archive");
}

TCacheItem& ArchiveRunFixture::AddItem(const std::string& url, int mime_index, const char* contents,
                                       double date) {
  auto item = std::make_unique<TCacheItem>();
  item->URL = url;
  item->MimeIndex = mime_index;
  item->Category = MimeTypeCategory(MimeTypeName(mime_index));
  item->Date = date;
  item->Domain = DomainOfStoredUrl(url);
  item->LocalFile = dir.File("cache/f" + std::to_string(++file_counter_));
  if (contents != nullptr) dir.Write("cache/f" + std::to_string(file_counter_), contents);
  cache.push_back(std::move(item));
  return *cache.back();
}

int ArchiveRunFixture::Run(Edition edition) {
  ArchiveRunEnvironment env;
  env.edition = edition;
  env.prompter = &prompter;
  env.settings = &settings;
  if (!write_index_page) env.build_index = [](const ArchiveList&, TExportForm&) {};
  run = std::make_unique<ArchiveRun>(env);
  run->PrepareArchiveRun();
  for (auto& item : cache) run->selection().push_back(item.get());
  HeadlessModalHost host;
  const int result = run->RunArchive(host);
  return result;
}

std::string ArchiveRunFixture::ArchiveFile(const std::string& relative) const {
  return JoinPath(settings.current_archive_folder, relative);
}

std::string ArchiveRunFixture::Catalogue() const {
  return ReadFileBytes(ArchiveFile("archive.dat")).value_or("");
}

std::vector<std::pair<std::string, std::string>> CatalogueRecords(const std::string& bytes) {
  std::vector<std::pair<std::string, std::string>> records;
  const Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  std::size_t offset = 0;
  while (offset + 28 <= bytes.size()) {
    const std::uint32_t l1 = *ReadU32(data, offset + 16);
    const std::uint32_t l2 = *ReadU32(data, offset + 20);
    const std::uint32_t l3 = *ReadU32(data, offset + 24);
    const std::size_t texts = offset + 28;
    if (texts + l1 + l2 + l3 > bytes.size() || l1 == 0 || l3 == 0) break;
    records.emplace_back(bytes.substr(texts, l1 - 1), bytes.substr(texts + l1 + l2, l3 - 1));
    offset = texts + l1 + l2 + l3;
  }
  return records;
}

}  // namespace webhoard::testing
