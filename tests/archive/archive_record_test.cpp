#include "archive/archive_record.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cache/buffered_file_stream.h"
#include "cache/memory_stream.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

struct Fields {
  std::int32_t mime_index = 0;
  std::int32_t category = 0;
  double date = 0.0;
  std::string url, title, archive_name;
};

// One record, built byte by byte from the layout rather than by the writer,
// so a fault in the writer cannot hide one in the reader.
std::string Record(const Fields& f) {
  std::string out;
  AppendLE<std::int32_t>(out, f.mime_index);
  AppendLE<std::int32_t>(out, f.category);
  AppendLE<std::uint64_t>(out, BitsFromDouble(f.date));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(f.url.size() + 1));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(f.title.size() + 1));
  AppendLE<std::uint32_t>(out, static_cast<std::uint32_t>(f.archive_name.size() + 1));
  for (const std::string* text : {&f.url, &f.title, &f.archive_name}) {
    out += *text;
    out.push_back('\0');
  }
  return out;
}

Fields Sample(int i) {
  Fields f;
  f.mime_index = i % 80;
  f.category = i % 3;
  f.date = 36000.25 + i;
  f.url = "http://host" + std::to_string(i % 7) + ".example:80/" + std::string(i % 61, 'p');
  f.title = i % 4 == 0 ? "" : "Title " + std::to_string(i);
  f.archive_name = "file" + std::to_string(i) + ".htm";
  return f;
}

void ExpectItem(const TCacheItem& item, const Fields& f) {
  EXPECT_EQ(item.MimeIndex, f.mime_index);
  EXPECT_EQ(item.Category, f.category);
  EXPECT_EQ(BitsFromDouble(item.Date), BitsFromDouble(f.date));
  EXPECT_EQ(item.URL, f.url);
  EXPECT_EQ(item.Title, f.title);
  EXPECT_EQ(item.ArchiveName, f.archive_name);
}

struct ReadOutcome {
  std::vector<TCacheItem> items;
  RecordReadResult last = RecordReadResult::kRecord;
};

ReadOutcome ReadAll(const std::string& path) {
  TSimpleBufferFileStream stream(path, FileOpenMode::kReadOnly);
  ArchiveRecordReader reader(stream);
  ReadOutcome outcome;
  for (;;) {
    TCacheItem item;
    outcome.last = reader.ReadFromStream(item);
    if (outcome.last != RecordReadResult::kRecord) break;
    outcome.items.push_back(std::move(item));
  }
  return outcome;
}

TEST(ArchiveRecord, WrittenBytesFollowTheLayout) {
  TCacheItem item;
  item.MimeIndex = 300;  // a full position, not its low 8 bits
  item.Category = kCategoryMedia;
  item.Date = 36526.5;
  item.URL = "http://a.example:80/x.gif";
  item.ArchiveName = "x.gif";
  item.CacheKey = "not stored";
  item.Domain = "a.example";
  item.LocalFile = "/cache/x.gif";
  TExtendedMemoryStream sink;
  WriteArchiveRecord(sink, item);

  Fields expected{300, kCategoryMedia, 36526.5, item.URL, "", "x.gif"};
  const std::string bytes = Record(expected);
  const auto data = sink.Data();
  EXPECT_EQ(std::string(data.begin(), data.end()), bytes);
  // An empty title is a single NUL with L2 = 1.
  EXPECT_EQ(bytes.size(), 28u + item.URL.size() + 1 + 1 + item.ArchiveName.size() + 1);
}

TEST(ArchiveRecord, TextsEndAtTheirFirstNulBothWays) {
  testing::TempDir dir;
  // Written: an embedded NUL ends the text, as a reader would see it.
  TCacheItem item;
  item.URL = std::string("http://a:80/\0hidden", 19);
  TExtendedMemoryStream sink;
  WriteArchiveRecord(sink, item);
  EXPECT_EQ(sink.Size(), 28u + 13 + 1 + 1);

  // Read: a stored text holding a NUL before its end, or none at all, is
  // damage: no writer of ours makes such a record.
  std::string bytes = Record({1, 0, 1.0, "", "", ""});
  bytes.resize(16);
  AppendLE<std::uint32_t>(bytes, 6);
  AppendLE<std::uint32_t>(bytes, 3);
  AppendLE<std::uint32_t>(bytes, 1);
  bytes += std::string("ab\0cd\0", 6) + "xyz" + std::string(1, '\0');
  ReadOutcome outcome = ReadAll(dir.Write("archive.dat", bytes));
  EXPECT_TRUE(outcome.items.empty());
  EXPECT_EQ(outcome.last, RecordReadResult::kDamaged);
  bytes = Record(Sample(1)) + Record({1, 0, 1.0, "http://a:80/", "xyz", "n.htm"});
  bytes[bytes.size() - 7] = 'Q';  // the title's NUL
  outcome = ReadAll(dir.Write("archive.dat", bytes));
  ASSERT_EQ(outcome.items.size(), 1u);
  EXPECT_EQ(outcome.last, RecordReadResult::kDamaged);
}

TEST(ArchiveRecord, ManyRecordsRoundTripAcrossReadAheadBoundaries) {
  testing::TempDir dir;
  const std::string path = dir.File("archive.dat");
  std::vector<Fields> expected;
  {
    TSimpleBufferFileStream file(path, FileOpenMode::kCreate);
    for (int i = 0; i < 2000; ++i) {
      expected.push_back(Sample(i));
      TCacheItem item;
      item.MimeIndex = expected.back().mime_index;
      item.Category = expected.back().category;
      item.Date = expected.back().date;
      item.URL = expected.back().url;
      item.Title = expected.back().title;
      item.ArchiveName = expected.back().archive_name;
      WriteArchiveRecord(file, item);
    }
    ASSERT_GT(file.Size(), 3u * TSimpleBufferFileStream::kReadAheadSize);
  }
  const ReadOutcome outcome = ReadAll(path);
  EXPECT_EQ(outcome.last, RecordReadResult::kEnd);
  ASSERT_EQ(outcome.items.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) ExpectItem(outcome.items[i], expected[i]);
}

TEST(ArchiveRecord, TextsLongerThanTheReadAheadAreReadWhole) {
  testing::TempDir dir;
  Fields big = Sample(1);
  big.title = std::string(3 * TSimpleBufferFileStream::kReadAheadSize + 5, 'T');
  big.url = "http://a:80/" + std::string(40000, 'u');
  const std::string bytes = Record(Sample(0)) + Record(big) + Record(Sample(2));
  const ReadOutcome outcome = ReadAll(dir.Write("archive.dat", bytes));
  ASSERT_EQ(outcome.items.size(), 3u);
  ExpectItem(outcome.items[0], Sample(0));
  ExpectItem(outcome.items[1], big);
  ExpectItem(outcome.items[2], Sample(2));
}

TEST(ArchiveRecord, EmptyFileIsAtEndAndLeavesTheItemUnchanged) {
  testing::TempDir dir;
  TSimpleBufferFileStream stream(dir.Write("archive.dat", ""), FileOpenMode::kReadOnly);
  ArchiveRecordReader reader(stream);
  TCacheItem item;
  item.URL = "kept";
  item.MimeIndex = 7;
  EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kEnd);
  EXPECT_EQ(item.URL, "kept");
  EXPECT_EQ(item.MimeIndex, 7);
  EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kEnd);
}

// Cutting a file anywhere keeps exactly the records that end before the cut;
// only a cut between records is a clean end.
TEST(ArchiveRecord, TruncationAtEveryLengthKeepsTheWholeRecordsBeforeIt) {
  testing::TempDir dir;
  std::vector<Fields> fields = {Sample(1), Sample(4), Sample(9)};
  fields[1].title = std::string(40, 't');
  std::string whole;
  std::vector<std::size_t> ends;
  for (const Fields& f : fields) {
    whole += Record(f);
    ends.push_back(whole.size());
  }
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    SCOPED_TRACE("cut at " + std::to_string(cut));
    const ReadOutcome outcome = ReadAll(dir.Write("archive.dat", whole.substr(0, cut)));
    std::size_t whole_records = 0;
    while (whole_records < ends.size() && ends[whole_records] <= cut) ++whole_records;
    ASSERT_EQ(outcome.items.size(), whole_records);
    for (std::size_t i = 0; i < whole_records; ++i) ExpectItem(outcome.items[i], fields[i]);
    const bool at_boundary = cut == 0 || (whole_records > 0 && ends[whole_records - 1] == cut);
    EXPECT_EQ(outcome.last, at_boundary ? RecordReadResult::kEnd : RecordReadResult::kDamaged);
  }
}

TEST(ArchiveRecord, AbsurdLengthsStopReadingWithoutAllocating) {
  testing::TempDir dir;
  const std::string good = Record(Sample(3));
  struct Case {
    std::uint32_t l1, l2, l3;
  };
  // Each alone exceeds the file; the second pair overflows 32 bits together.
  const Case cases[] = {{0xFFFFFFFFu, 1, 1},
                        {1, 0xFFFFFFFFu, 0xFFFFFFFFu},
                        {0x80000000u, 0x80000000u, 2},
                        {1, 1, 1000}};
  for (const Case& c : cases) {
    std::string bad = Record(Sample(5));
    bad.replace(16, 12, std::string(12, '\0'));
    StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(bad.data()) + 16, c.l1);
    StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(bad.data()) + 20, c.l2);
    StoreLE<std::uint32_t>(reinterpret_cast<std::uint8_t*>(bad.data()) + 24, c.l3);
    const std::string path = dir.Write("archive.dat", good + bad + good);
    const ReadOutcome outcome = ReadAll(path);
    ASSERT_EQ(outcome.items.size(), 1u);
    ExpectItem(outcome.items[0], Sample(3));
    EXPECT_EQ(outcome.last, RecordReadResult::kDamaged);

    // The damage leaves the item as the last good record left it, and stays.
    TSimpleBufferFileStream stream(path, FileOpenMode::kReadOnly);
    ArchiveRecordReader reader(stream);
    TCacheItem item;
    EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kRecord);
    EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kDamaged);
    EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kDamaged);
    ExpectItem(item, Sample(3));
    EXPECT_EQ(reader.damage().rfind("record 1 at offset " + std::to_string(good.size()) + ": ", 0),
              0u)
        << reader.damage();
  }
}

TEST(ArchiveRecord, LengthsAreCheckedAgainstTheFileAsItIsNow) {
  // The read-ahead already holds the second record's head when the file
  // grows by its texts: the lengths are then backed after all.
  testing::TempDir dir;
  const std::string second = Record(Sample(8));
  const std::string path = dir.Write("archive.dat", Record(Sample(7)) + second.substr(0, 28));
  TSimpleBufferFileStream stream(path, FileOpenMode::kReadOnly);
  ArchiveRecordReader reader(stream);
  TCacheItem item;
  ASSERT_EQ(reader.ReadFromStream(item), RecordReadResult::kRecord);
  ASSERT_TRUE(AppendToFile(path, second.substr(28)));
  ASSERT_EQ(reader.ReadFromStream(item), RecordReadResult::kRecord);
  ExpectItem(item, Sample(8));
  EXPECT_EQ(reader.ReadFromStream(item), RecordReadResult::kEnd);
}

TEST(ArchiveRecord, ZeroLengthFieldsAreDamage) {
  // A length counts the text's NUL, so no writer stores 0.
  testing::TempDir dir;
  std::string bytes = Record({2, 1, 3.0, "", "", ""}).substr(0, 16);
  bytes.append(12, '\0');
  const ReadOutcome outcome = ReadAll(dir.Write("archive.dat", bytes + Record(Sample(6))));
  EXPECT_TRUE(outcome.items.empty());
  EXPECT_EQ(outcome.last, RecordReadResult::kDamaged);
}

TEST(ArchiveRecord, FlippedBytesNeverBreakTheReader) {
  testing::TempDir dir;
  const std::string whole = Record(Sample(1)) + Record(Sample(2)) + Record(Sample(3));
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (const int mask : {0x01, 0x80, 0xFF}) {
      std::string damaged = whole;
      damaged[at] = static_cast<char>(damaged[at] ^ mask);
      const ReadOutcome outcome = ReadAll(dir.Write("archive.dat", damaged));
      // Every record read stays within the file's bytes.
      std::size_t text_bytes = 0;
      for (const TCacheItem& item : outcome.items) {
        text_bytes += item.URL.size() + item.Title.size() + item.ArchiveName.size();
      }
      EXPECT_LE(text_bytes + 28 * outcome.items.size(), damaged.size());
    }
  }
}

}  // namespace
}  // namespace webhoard
