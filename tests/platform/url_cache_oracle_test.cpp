// Checks the URL cache against an independent reader of index.dat
// (libmsiecf, through tests/platform/msie_oracle.py): for every real sample
// and every container Wine wrote into tests/data, each URL record it lists is
// an entry we enumerate with the same URL, file, folder and times; after our
// delete it still reads the file, no longer lists the entry and lists every
// other one as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <set>
#include <sstream>
#include <vector>

#include "common/file_util.h"
#include "platform/url_cache.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::SharedSample;
using testing::TempDir;
using testing::TestData;

struct OracleView {
  bool ran = false;
  std::multiset<std::string> items;  // "url|file|folder|access|modified|sync"
  std::size_t item_count = 0;
  std::size_t recovered_count = 0;
  std::string output;
};

std::string Unhex(const std::string& hex) {
  if (hex == "-") return {};
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

OracleView RunOracle(const std::string& index_path) {
  const std::string script =
      (std::filesystem::path(__FILE__).parent_path() / "msie_oracle.py").string();
  const std::string command = "/usr/bin/python3 '" + script + "' '" + index_path + "' 2>&1";
  OracleView view;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return view;
  char buffer[4096];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) view.output += buffer;
  view.ran = ::pclose(pipe) == 0;
  std::istringstream lines(view.output);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> f;
    std::istringstream fields(line);
    for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
    if (f.size() == 8 && f[0] == "U") {
      view.items.insert(Unhex(f[2]) + "|" + Unhex(f[3]) + "|" + (f[4] == "-" ? "" : f[4]) + "|" +
                        f[5] + "|" + f[6] + "|" + f[7]);
    } else if (f.size() == 3 && f[0] == "S") {
      view.item_count = std::stoul(f[1]);
      view.recovered_count = std::stoul(f[2]);
    }
  }
  return view;
}

std::string KeyOf(const UrlCacheEntry& e, const std::string& container) {
  std::string file, folder;
  if (!e.local_file_name.empty()) {
    const std::filesystem::path local(e.local_file_name);
    file = local.filename().string();
    if (local.parent_path().string() != container) folder = local.parent_path().filename().string();
  }
  return e.source_url_name + "|" + file + "|" + folder + "|" + std::to_string(e.last_access_time) +
         "|" + std::to_string(e.last_modified_time) + "|" + std::to_string(e.last_sync_time);
}

std::multiset<std::string> Enumerate(const std::string& container, std::size_t* count = nullptr) {
  auto cache = OpenUrlCache(container);
  std::multiset<std::string> keys;
  UrlCacheEntry entry;
  std::uint32_t size = 1u << 20;
  auto handle = cache->FindFirstUrlCacheEntry(nullptr, entry, size);
  if (handle != 0) {
    do keys.insert(KeyOf(entry, container));
    while ((size = 1u << 20, cache->FindNextUrlCacheEntry(handle, entry, size)));
    cache->FindCloseUrlCache(handle);
  }
  if (count != nullptr) *count = keys.size();
  return keys;
}

struct Sample {
  const char* path;
  bool shared;  // one of the real samples, else a container of tests/data
};

// Names the sample in test names and messages.
void PrintTo(const Sample& sample, std::ostream* out) {
  *out << sample.path;
}

const Sample kSamples[] = {
    {"msie/plaso-Content.IE5-index.dat", true},
    {"msie/plaso-History.IE5-index.dat", true},
    {"msie/plaso-MSHist012013031020130311-index.dat", true},
    {"msie/plaso-nfury-index.dat", true},
    {"msie/grr-History-index.dat", true},
    {"msie/wine8-generated/Content.IE5/index.dat", true},
    {"msie/wine8-generated/content-with-leak-index.dat", true},
    {"msie/wine8-generated/plaso-Content.IE5-after-wine-delete-index.dat", true},
    {"wine-containers/content/index.dat", false},
    {"wine-containers/leak/index.dat", false},
};

class UrlCacheOracle : public ::testing::TestWithParam<Sample> {
 protected:
  void SetUp() override {
    const std::string path =
        GetParam().shared ? SharedSample(GetParam().path) : TestData(GetParam().path);
    if (path.empty()) return;
    const auto bytes = ReadFileBytes(path);
    ASSERT_TRUE(bytes) << path;
    dir_.Write("index.dat", *bytes);
  }
  TempDir dir_;
};

TEST_P(UrlCacheOracle, EveryUrlRecordTheOracleListsIsEnumeratedAlike) {
  const OracleView oracle = RunOracle(dir_.File("index.dat"));
  ASSERT_TRUE(oracle.ran) << oracle.output;
  ASSERT_FALSE(oracle.items.empty());
  const auto ours = Enumerate(dir_.path());
  std::vector<std::string> missing;
  std::set_difference(oracle.items.begin(), oracle.items.end(), ours.begin(), ours.end(),
                      std::back_inserter(missing));
  EXPECT_TRUE(missing.empty()) << missing.size() << " missing, first: " << missing.front();
  // What we list beyond the oracle are hash-table entries whose blocks
  // are no longer allocated; WinINet lists those too. There are none in
  // these samples.
  EXPECT_EQ(ours.size(), oracle.items.size());
}

TEST_P(UrlCacheOracle, AfterDeletesTheOracleListsEveryOtherEntryAndNoneOfTheDeleted) {
  const OracleView before = RunOracle(dir_.File("index.dat"));
  ASSERT_TRUE(before.ran) << before.output;
  auto cache = OpenUrlCache(dir_.path());
  // Delete the first, a middle and the last entry of the enumeration.
  std::vector<UrlCacheEntry> entries;
  UrlCacheEntry entry;
  std::uint32_t size = 1u << 20;
  auto handle = cache->FindFirstUrlCacheEntry(nullptr, entry, size);
  ASSERT_NE(handle, 0u);
  do entries.push_back(entry);
  while ((size = 1u << 20, cache->FindNextUrlCacheEntry(handle, entry, size)));
  cache->FindCloseUrlCache(handle);
  std::multiset<std::string> expected = before.items;
  const std::set<std::size_t> chosen = {0, entries.size() / 2, entries.size() - 1};
  for (std::size_t i : chosen) {
    ASSERT_TRUE(cache->DeleteUrlCacheEntry(entries[i].source_url_name))
        << entries[i].source_url_name << ": " << cache->LastErrorText();
    const auto gone = expected.find(KeyOf(entries[i], dir_.path()));
    ASSERT_NE(gone, expected.end()) << entries[i].source_url_name;
    expected.erase(gone);
  }
  const OracleView after = RunOracle(dir_.File("index.dat"));
  ASSERT_TRUE(after.ran) << after.output;
  EXPECT_EQ(after.items, expected);
  EXPECT_EQ(Enumerate(dir_.path()), expected);
  EXPECT_EQ(after.item_count + after.recovered_count, before.item_count + before.recovered_count);
}

INSTANTIATE_TEST_SUITE_P(Samples, UrlCacheOracle, ::testing::ValuesIn(kSamples),
                         [](const auto& sample) {
                           const std::filesystem::path path(sample.param.path);
                           // A container's index is named by its folder.
                           std::string name =
                               (path.filename() == "index.dat"
                                    ? path.parent_path().filename().string() + "-index"
                                    : path.stem().string()) +
                               std::to_string(sample.index);
                           std::replace_if(
                               name.begin(), name.end(),
                               [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
                               '_');
                           return name;
                         });

}  // namespace
}  // namespace webhoard
