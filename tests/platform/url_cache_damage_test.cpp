// Damaged index files: every offset, count and length in index.dat comes
// from the file, so cut, flipped and absurd values must neither crash nor
// read outside the bytes, and a delete must never leave a file that WinINet
// would refuse (it would discard the whole cache).
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "common/file_util.h"
#include "common/little_endian.h"
#include "platform/index_dat_delete.h"
#include "platform/index_dat_format.h"
#include "platform/index_dat_hash.h"
#include "platform/url_cache.h"
#include "support/index_dat_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::BuildIndexDat;
using testing::SyntheticEntry;
using testing::TempDir;

Bytes AsBytes(const std::string& s) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) {
  StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(b.data() + at), v);
}

// The URLs the layer would list from these bytes, read in memory.
std::vector<std::string> ListInMemory(const std::string& bytes) {
  std::vector<std::string> urls;
  const auto header = index_dat::ParseHeader(AsBytes(bytes), nullptr);
  if (!header) return urls;
  for (const auto& item : index_dat::WalkHashTable(AsBytes(bytes), *header).url_items) {
    if (auto record = index_dat::ParseUrlRecord(AsBytes(bytes), item.record_offset, nullptr)) {
      urls.push_back(record->url);
    }
  }
  return urls;
}

// Deletes `url` from the bytes in memory the way the layer does: only from
// a file that passes WinINet's checks. Answers whether it deleted.
bool DeleteInMemory(std::string& bytes, const std::string& url) {
  const auto header = index_dat::ParseHeader(AsBytes(bytes), nullptr);
  if (!header || !index_dat::CheckOpenInvariants(AsBytes(bytes)).empty()) return false;
  const auto removal = index_dat::FindEntry(AsBytes(bytes), *header, url);
  if (!removal) return false;
  index_dat::RemoveEntry(
      std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()),
      *removal);
  return true;
}

SyntheticEntry Entry(std::string url, std::uint8_t folder) {
  SyntheticEntry e;
  e.url = std::move(url);
  e.file_name = "f.htm";
  e.folder_index = folder;
  e.headers = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
  e.size = 10;
  return e;
}

testing::SyntheticIndex ThreeEntries() {
  return BuildIndexDat({Entry("http://a/1", 0), Entry("http://a/2", 1), Entry("http://a/3", 2)});
}

TEST(IndexDatDamage, TruncationAtEveryLengthNeverReadsPastTheEnd) {
  const std::string whole = ThreeEntries().bytes;
  for (std::size_t n = 0; n < whole.size(); ++n) {
    std::string cut = whole.substr(0, n);
    const auto urls = ListInMemory(cut);
    // Only records that still lie whole inside the cut are listed.
    EXPECT_LE(urls.size(), 3u);
    EXPECT_FALSE(DeleteInMemory(cut, "http://a/1")) << n;  // size no longer matches the header
  }
}

// Cuts a written container's index at every block: the layer lists no more
// than the whole file holds, calls a cut header corrupt, and never changes a
// cut file.
void ExpectCutsStayReadable(const std::string& index_path) {
  SCOPED_TRACE(index_path);
  const auto bytes = ReadFileBytes(index_path);
  ASSERT_TRUE(bytes);
  const std::string& whole = *bytes;
  const auto urls = ListInMemory(whole);
  ASSERT_FALSE(urls.empty());
  TempDir dir;
  for (std::size_t n = 0; n <= whole.size(); n += index_dat::kBlockSize) {
    dir.Write("index.dat", whole.substr(0, n));
    auto cache = OpenUrlCache(dir.path());
    UrlCacheEntry entry;
    std::uint32_t size = 8192;
    std::size_t listed = 0;
    auto handle = cache->FindFirstUrlCacheEntry(nullptr, entry, size);
    if (handle != 0) {
      do ++listed;
      while ((size = 8192, cache->FindNextUrlCacheEntry(handle, entry, size)));
      cache->FindCloseUrlCache(handle);
    }
    EXPECT_LE(listed, urls.size()) << "cut at " << n;
    if (n < index_dat::kHeaderSize) {
      EXPECT_EQ(cache->LastError(), kErrorFileCorrupt);
    }
    EXPECT_FALSE(cache->DeleteUrlCacheEntry(urls.front()) && n < whole.size()) << "cut at " << n;
  }
}

TEST(IndexDatDamage, WineContainersCutAtEveryBlockStayReadable) {
  for (const char* container : {"wine-containers/content", "wine-containers/leak"}) {
    ExpectCutsStayReadable(testing::TestData(container) + "/index.dat");
  }
}

TEST(IndexDatDamage, RealSamplesCutAtEveryBlockStayReadable) {
  for (const char* sample : {"msie/plaso-Content.IE5-index.dat", "msie/grr-History-index.dat"}) {
    const std::string path = testing::SharedSample(sample);
    if (path.empty()) return;
    ExpectCutsStayReadable(path);
  }
}

TEST(IndexDatDamage, AbsurdOffsetsCountsAndLengthsAreRefusedOrIgnored) {
  const auto base = ThreeEntries();
  const std::uint32_t record = base.record_offsets[0];
  struct Case {
    const char* what;
    std::size_t at;
    std::uint32_t value;
  };
  const Case cases[] = {
      {"first hash page past the end", 0x20, 0xFFFFFF80u},
      {"first hash page not at a block", 0x20, 0x4001u},
      {"folder count", 0x48, 1000u},
      {"record offset past the end", base.item_offsets[0] + 4, 0xFFFFFF80u},
      {"record offset inside the header", base.item_offsets[0] + 4, 0x200u},
      {"record block count", record + 4, 0xFFFFFFFFu},
      {"record block count zero", record + 4, 0u},
      {"URL offset", record + 0x34, 0xFFFFFFF0u},
      {"URL offset at the record end", record + 0x34, 0x100u},
      {"file name offset", record + 0x3C, 0x7FFFFFFFu},
      {"header offset", record + 0x44, 0xFFFFFFFFu},
      {"header size", record + 0x48, 0xFFFFFFFFu},
      {"header offset plus size wraps", record + 0x44, 0x70u},
      {"folder index", record + 0x38, 0xFFu},
  };
  for (const Case& c : cases) {
    std::string bytes = base.bytes;
    Put32(bytes, c.at, c.value);
    if (std::strcmp(c.what, "header offset plus size wraps") == 0) {
      Put32(bytes, record + 0x48, 0xFFFFFFA0u);
    }
    const auto urls = ListInMemory(bytes);
    EXPECT_LE(urls.size(), 3u) << c.what;
    const auto header = index_dat::ParseHeader(AsBytes(bytes), nullptr);
    if (header) {
      for (const auto& item : index_dat::WalkHashTable(AsBytes(bytes), *header).url_items) {
        if (auto r = index_dat::ParseUrlRecord(AsBytes(bytes), item.record_offset, nullptr)) {
          EXPECT_LE(r->header_info.size(), r->blocks * index_dat::kBlockSize) << c.what;
        }
      }
    }
    if (DeleteInMemory(bytes, "http://a/1")) {
      EXPECT_EQ(index_dat::CheckOpenInvariants(AsBytes(bytes)), "") << c.what;
    }
  }
}

TEST(IndexDatDamage, RecordReachingOverLiveDataIsNotFreed) {
  auto index = ThreeEntries();
  std::string over_next = index.bytes;
  Put32(over_next, index.record_offsets[1] + 4, 4);  // reaches into the third record
  std::string over_hash = index.bytes;
  Put32(over_hash, index.item_offsets[0] + 4, 0x4000 + 31 * 0x80);  // a "record" in the hash page
  std::memcpy(over_hash.data() + 0x4000 + 31 * 0x80, over_hash.data() + index.record_offsets[0],
              0x80);
  const auto header = index_dat::ParseHeader(AsBytes(over_next), nullptr);
  std::string damage;
  EXPECT_FALSE(index_dat::FindEntry(AsBytes(over_next), *header, "http://a/2", &damage));
  EXPECT_NE(damage.find("covers another"), std::string::npos);
  EXPECT_FALSE(index_dat::FindEntry(AsBytes(over_hash), *header, "http://a/1", &damage));
  EXPECT_NE(damage.find("hash page"), std::string::npos);
  // Both overlapping records are held back; the one apart is not.
  EXPECT_FALSE(index_dat::FindEntry(AsBytes(over_next), *header, "http://a/3", &damage));
  EXPECT_TRUE(index_dat::FindEntry(AsBytes(over_next), *header, "http://a/1", &damage));
}

TEST(IndexDatDamage, LoopingHashChainsEndAndListEachEntryOnce) {
  auto index = ThreeEntries();
  Put32(index.bytes, 0x4008, 0x4000);  // the only page names itself as next
  EXPECT_EQ(ListInMemory(index.bytes).size(), 3u);
  const auto header = index_dat::ParseHeader(AsBytes(index.bytes), nullptr);
  const auto walk = index_dat::WalkHashTable(AsBytes(index.bytes), *header);
  EXPECT_EQ(walk.pages, 1u);
  EXPECT_NE(walk.damage, "");

  // A second page (a copy of the first, numbered 1) that leads back to the
  // first: the chain ends where the numbering breaks.
  std::string two = index.bytes;
  const std::uint32_t second = static_cast<std::uint32_t>(two.size()) - 0x1000;
  std::memcpy(two.data() + second, two.data() + 0x4000, 0x1000);
  Put32(two, second + 0x0C, 1);
  Put32(two, second + 0x08, 0x4000);
  Put32(two, 0x4008, second);
  EXPECT_EQ(ListInMemory(two).size(), 6u);  // both pages name the three entries
}

TEST(IndexDatDamage, ByteFlipsNeverBreakTheReaderOrLeaveAFileWinInetRefuses) {
  const auto base = ThreeEntries();
  std::mt19937 random(4242);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes = base.bytes;
    const auto flips = 1 + random() % 4;
    for (unsigned long i = 0; i < flips; ++i) {
      // Mostly where the structure is: header fields, hash items, records.
      const auto region = random() % 3;
      std::size_t at = region == 0   ? random() % 0x300
                       : region == 1 ? 0x4000 + random() % 0x100
                                     : base.record_offsets[0] + random() % 0x300;
      bytes[at] = static_cast<char>(bytes[at] ^ (1 << (random() % 8)));
    }
    ListInMemory(bytes);
    if (DeleteInMemory(bytes, "http://a/2")) {
      ASSERT_EQ(index_dat::CheckOpenInvariants(AsBytes(bytes)), "") << "round " << round;
    }
  }
}

}  // namespace
}  // namespace webhoard
