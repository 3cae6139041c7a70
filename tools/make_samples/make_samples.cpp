// Writes the bundled sample caches from the small web of sample_web.cpp:
//   OUT/netscape/FAT.DB and its cached files: a Navigator 3 cache, the index
//     a genuine Berkeley DB 1.85 hash file written through libdb1;
//   OUT/ie/Content.IE5/index.dat and its four cache folders: an Internet
//     Explorer cache container.
// Entry times are set relative to the moment of generation.
//
//   make_samples [OUT]     (OUT defaults to "samples")
#include <cstdio>
#include <ctime>
#include <exception>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/file_util.h"
#include "sample_web.h"
#include "support/db185_writer.h"
#include "support/index_dat_writer.h"

namespace webhoard::samples {
namespace {

namespace fs = std::filesystem;

void WriteOrThrow(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  if (!WriteFileAtomically(path, bytes)) throw std::runtime_error("cannot write " + path);
}

// The last part of the address path, without its extension ("index" for a
// folder address), as Internet Explorer starts its cached file names.
std::string StemOf(const std::string& url) {
  std::string path = url.substr(url.find('/', url.find("//") + 2));
  std::string name = path.substr(path.rfind('/') + 1);
  if (name.empty()) return "index";
  return name.substr(0, name.rfind('.'));
}

void WriteNavigatorCache(const std::string& folder, const std::vector<SampleDocument>& web,
                         std::time_t now) {
  testing::Db185HashFile::Options options;
  options.page_size = 4096;
  testing::NavigatorDatabaseWriter index(folder + "/FAT.DB", options);
  std::uint32_t serial = 0;
  for (const SampleDocument& document : web) {
    char name[64];
    std::snprintf(name, sizeof name, "cache%08X%04X%s", static_cast<unsigned>(now), ++serial,
                  document.extension.c_str());
    WriteOrThrow(folder + "/" + name, document.body);
    const auto fetched = static_cast<std::int32_t>(now - document.age_days * 86400L);
    testing::NavigatorRecord record;
    record.url = document.url;
    record.file_name = name;
    record.mime_type = document.mime_type;
    record.last_accessed = fetched;
    record.last_modified = fetched - 86400;
    record.content_length = static_cast<std::uint32_t>(document.body.size());
    index.AddRecord(record);
  }
  index.Close();
}

std::uint64_t FileTime(std::time_t t) {
  return (static_cast<std::uint64_t>(t) + 11644473600ULL) * 10000000ULL;
}

// A DOS date in the low word and a DOS time in the high word, in local time.
std::uint32_t DosDateTime(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  const auto date = static_cast<std::uint32_t>(((local.tm_year - 80) << 9) |
                                               ((local.tm_mon + 1) << 5) | local.tm_mday);
  const auto time =
      static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  return date | (time << 16);
}

void WriteInternetExplorerCache(const std::string& container,
                                const std::vector<SampleDocument>& web, std::time_t now) {
  std::vector<testing::SyntheticEntry> entries;
  std::map<std::string, int> taken;  // folder/name -> count, for the [n] suffix
  std::uint8_t folder_index = 0;
  for (const SampleDocument& document : web) {
    const std::string folder = testing::kSyntheticFolders[folder_index];
    const std::string stem = folder + "/" + StemOf(document.url);
    const int copy = ++taken[stem];
    const std::string name =
        StemOf(document.url) + "[" + std::to_string(copy) + "]" + document.extension;
    WriteOrThrow(container + "/" + folder + "/" + name, document.body);
    const std::time_t fetched = now - document.age_days * 86400L;
    testing::SyntheticEntry entry;
    entry.url = document.url;
    entry.file_name = name;
    entry.folder_index = folder_index;
    entry.headers = "HTTP/1.1 200 OK\r\nContent-Type: " + document.mime_type +
                    "\r\nContent-Length: " + std::to_string(document.body.size()) + "\r\n\r\n";
    entry.size = document.body.size();
    entry.last_modified = FileTime(fetched - 86400);
    entry.last_access = FileTime(fetched);
    entry.last_sync_dos = DosDateTime(fetched);
    entries.push_back(entry);
    folder_index = static_cast<std::uint8_t>((folder_index + 1) % 4);
  }
  WriteOrThrow(container + "/index.dat", testing::BuildIndexDat(entries).bytes);
}

}  // namespace
}  // namespace webhoard::samples

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  using namespace webhoard::samples;
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: make_samples [OUTPUT-FOLDER]\n");
    return 1;
  }
  const std::string out = argc == 2 ? argv[1] : "samples";
  try {
    const std::vector<SampleDocument> web = SampleWeb();
    const std::time_t now = std::time(nullptr);
    // Only the two cache folders are replaced; anything else in OUT stays.
    fs::remove_all(out + "/netscape");
    fs::remove_all(out + "/ie");
    fs::create_directories(out + "/netscape");
    WriteNavigatorCache(out + "/netscape", web, now);
    WriteInternetExplorerCache(out + "/ie/Content.IE5", web, now);
    std::printf("%s/netscape/FAT.DB: %zu entries\n%s/ie/Content.IE5/index.dat: %zu entries\n",
                out.c_str(), web.size(), out.c_str(), web.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_samples: %s\n", e.what());
    return 2;
  }
  return 0;
}
