#include "archive/archive_info_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "archive/archive_layout.h"
#include "archive/archive_record.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TCacheItem Item(std::string url, std::string name, int mime = 1, std::string title = "") {
  TCacheItem item;
  item.MimeIndex = mime;
  item.Category = mime == 1 ? 0 : 1;
  item.Date = 45000.25;
  item.URL = std::move(url);
  item.Title = std::move(title);
  item.ArchiveName = std::move(name);
  item.Domain = "host";
  item.LocalFile = "/cache/x";
  return item;
}

std::string Records(const std::vector<TCacheItem>& items) {
  std::string bytes;
  for (const auto& item : items) AppendArchiveRecord(bytes, item);
  return bytes;
}

std::string ReadAll(const std::string& path) {
  return ReadFileBytes(path).value_or("<none>");
}

// An archive folder with a catalogue of three pages whose copies exist.
struct Archive {
  TempDir dir;
  std::string folder = dir.File("arch");
  std::vector<TCacheItem> items = {Item("http://host:80/a.htm", "a.htm", 1, "Page A"),
                                   Item("http://host:80/b.gif", "b.gif", 2),
                                   Item("http://other:8080/c/", "c.htm", 1, "C")};
  std::string dat = JoinPath(folder, "archive.dat");

  Archive() {
    dir.Write("arch/host/text/a.htm", "A");
    dir.Write("arch/host/image/b.gif", "B");
    dir.Write("arch/other/text/c.htm", "C");
    dir.Write("arch/archive.dat", Records(items));
  }
};

TEST(ArchiveLayout, OnlyPlainNamesBecomePathComponents) {
  for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/", "../x"}) {
    EXPECT_FALSE(IsPlainName(bad)) << bad;
  }
  EXPECT_FALSE(IsPlainName(std::string("a\0b", 3)));
  for (const char* good : {"a.htm", "...", ".htm", "index(1).htm", "a b"}) {
    EXPECT_TRUE(IsPlainName(good)) << good;
  }
  TCacheItem item = Item("http://host:80/x", "x.htm");
  EXPECT_EQ(ArchivePathOf("/arch", item), "/arch/host/text/x.htm");
  item.Domain = "..";
  EXPECT_FALSE(ArchivePathOf("/arch", item));
  item.Domain = "host";
  item.ArchiveName = "../../../etc/passwd";
  EXPECT_FALSE(ArchivePathOf("/arch", item));
  EXPECT_EQ(TakenNameKey("host", "text", "Index.HTM"), "host/text/index.htm");
  EXPECT_EQ(ArchiveLinkText("host", "image", "a.gif"), "../../host/image/a.gif");
}

TEST(ArchiveInfoFile, RecordLayoutIsExact) {
  const std::string bytes = Records({Item("http://h:80/", "h.htm", 3, "")});
  std::string expected;
  AppendLE<std::int32_t>(expected, 3);
  AppendLE<std::int32_t>(expected, 1);
  AppendLE<std::uint64_t>(expected, BitsFromDouble(45000.25));
  AppendLE<std::uint32_t>(expected, 13);
  AppendLE<std::uint32_t>(expected, 1);
  AppendLE<std::uint32_t>(expected, 6);
  expected += std::string("http://h:80/\0\0h.htm\0", 20);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.size(), 28u + 13 + 1 + 6);
}

TEST(ArchiveInfoFile, LoadAndSaveOfAnUntouchedArchiveReproducesTheFile) {
  Archive a;
  const std::string before = ReadAll(a.dat);
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_FALSE(list.load_report().damaged);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list.items()[0]->Domain, "host");
  EXPECT_EQ(list.items()[2]->Domain, "other");
  EXPECT_EQ(list.items()[0]->Title, "Page A");
  EXPECT_TRUE(list.items()[0]->LocalFile.empty());
  EXPECT_TRUE(taken.Contains("host/image/b.gif"));
  EXPECT_TRUE(taken.Contains("other/text/c.htm"));
  const ArchiveSaveResult saved = SaveArchiveList(list);
  EXPECT_TRUE(saved.ok) << saved.error;
  EXPECT_EQ(ReadAll(a.dat), before);
  EXPECT_FALSE(fs::exists(JoinPath(a.folder, "archive.tmp")));
  EXPECT_TRUE(saved.kept_aside.empty());
}

TEST(ArchiveInfoFile, MissingOrEmptyCatalogueIsAnEmptyArchive) {
  TempDir dir;
  const std::string folder = dir.File("new/deep/arch");
  TakenNames taken;
  ArchiveList list = LoadArchiveList(folder, taken);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.load_report().damaged);
  EXPECT_TRUE(DirectoryExists(folder));

  dir.Write("new/deep/arch/archive.dat", "");
  list = LoadArchiveList(folder, taken);
  EXPECT_TRUE(list.empty());
  EXPECT_FALSE(list.load_report().damaged);
}

TEST(ArchiveInfoFile, RecordsWhoseCopyIsGoneAreDroppedWithoutDamage) {
  Archive a;
  fs::remove(JoinPath(a.folder, "host/image/b.gif"));
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_FALSE(list.load_report().damaged);
  EXPECT_EQ(list.load_report().records_missing, 1u);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list.items()[1]->URL, "http://other:8080/c/");
  EXPECT_FALSE(taken.Contains("host/image/b.gif"));
  ASSERT_TRUE(SaveArchiveList(list).ok);
  EXPECT_EQ(ReadAll(a.dat), Records({a.items[0], a.items[2]}));
  EXPECT_FALSE(fs::exists(a.dat + ".damaged"));
}

TEST(ArchiveInfoFile, EmptiedArchiveLosesItsCatalogue) {
  Archive a;
  fs::remove_all(JoinPath(a.folder, "host"));
  fs::remove_all(JoinPath(a.folder, "other"));
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(SaveArchiveList(list).ok);
  EXPECT_FALSE(fs::exists(a.dat));
  EXPECT_FALSE(fs::exists(JoinPath(a.folder, "archive.tmp")));
}

TEST(ArchiveInfoFile, FindIsExactAndAnswersTheFirstEntry) {
  Archive a;
  a.items.push_back(Item("http://host:80/a.htm", "second.htm"));
  a.dir.Write("arch/host/text/second.htm", "2");
  a.dir.Write("arch/archive.dat", Records(a.items));
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.FindArchivedName("http://host:80/a.htm"), "a.htm");
  EXPECT_EQ(list.Find("http://host:80/a.htm"), 0u);
  EXPECT_FALSE(list.FindArchivedName("http://HOST:80/a.htm"));
  EXPECT_FALSE(list.FindArchivedName("http://host:80/A.htm"));
  EXPECT_FALSE(list.FindArchivedName("http://host:80/a.htm/"));
  EXPECT_EQ(list.FindArchivedName("http://other:8080/c/"), "c.htm");
}

TEST(ArchiveInfoFile, RecordingOverwritesInPlaceOrAppends) {
  Archive a;
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  TCacheItem again = Item("http://host:80/b.gif", "b.gif", 2);
  again.Date = 46000.5;
  again.CacheKey = "key";
  EXPECT_TRUE(list.RecordArchivedItem(again));
  TCacheItem fresh = Item("http://new:80/n.htm", "n.htm", 1, "New");
  fresh.Domain = "new";
  EXPECT_TRUE(list.RecordArchivedItem(fresh));
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list.items()[1]->Date, 46000.5);
  EXPECT_EQ(list.items()[1]->LocalFile, "/cache/x");
  EXPECT_FALSE(list.items()[1]->CacheKey);
  EXPECT_EQ(list.items()[3]->URL, "http://new:80/n.htm");
  EXPECT_EQ(list.FindArchivedName("http://new:80/n.htm"), "n.htm");
  fresh.Title = "Newer";
  EXPECT_TRUE(list.RecordArchivedItem(fresh));
  EXPECT_EQ(list.size(), 4u);
  EXPECT_EQ(list.items()[3]->Title, "Newer");
  ASSERT_TRUE(SaveArchiveList(list).ok);
  EXPECT_EQ(ReadAll(a.dat), Records({a.items[0], again, a.items[2], fresh}));
}

TEST(ArchiveInfoFile, ItemsThatWouldLeaveTheArchiveAreNeverRecorded) {
  TempDir dir;
  ArchiveList list(dir.path());
  TCacheItem bad = Item("http://host:80/x", "../x.htm");
  EXPECT_FALSE(list.RecordArchivedItem(bad));
  bad.ArchiveName = "x.htm";
  bad.Domain = "..";
  EXPECT_FALSE(list.RecordArchivedItem(bad));
  EXPECT_TRUE(list.empty());
}

TEST(ArchiveInfoFile, FailedSaveKeepsTheOldCatalogueAndSaysWhy) {
  Archive a;
  const std::string before = ReadAll(a.dat);
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  list.RecordArchivedItem(Item("http://host:80/z.htm", "z.htm"));
  // A folder in the way of this process's temporary file makes the write fail.
  fs::create_directory(JoinPath(a.folder, "archive.tmp." + std::to_string(::getpid())));
  const ArchiveSaveResult saved = SaveArchiveList(list);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.error.find("archive.tmp"), std::string::npos) << saved.error;
  EXPECT_EQ(ReadAll(a.dat), before);
}

TEST(ArchiveInfoFile, DamagedCatalogueIsKeptAsideBeforeItIsReplaced) {
  Archive a;
  const std::string whole = ReadAll(a.dat);
  const std::string damaged = whole + std::string("\x01\x02\x03", 3);
  a.dir.Write("arch/archive.dat", damaged);
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_TRUE(list.load_report().damaged);
  EXPECT_NE(list.load_report().damage.find("archive.dat"), std::string::npos);
  EXPECT_EQ(list.size(), 3u);
  ArchiveSaveResult saved = SaveArchiveList(list);
  ASSERT_TRUE(saved.ok) << saved.error;
  EXPECT_EQ(saved.kept_aside, a.dat + ".damaged");
  EXPECT_EQ(ReadAll(a.dat + ".damaged"), damaged);
  EXPECT_EQ(ReadAll(a.dat), whole);
  // Saving the same list again keeps nothing more aside.
  saved = SaveArchiveList(list);
  EXPECT_TRUE(saved.kept_aside.empty());

  // A later damage never overwrites the earlier keepsake.
  a.dir.Write("arch/archive.dat", damaged + "x");
  list = LoadArchiveList(a.folder, taken);
  saved = SaveArchiveList(list);
  EXPECT_EQ(saved.kept_aside, a.dat + ".damaged.1");
  EXPECT_EQ(ReadAll(a.dat + ".damaged"), damaged);
  EXPECT_EQ(ReadAll(a.dat + ".damaged.1"), damaged + "x");
}

TEST(ArchiveInfoFile, CatalogueDamagedAtItsFirstRecordIsNotDeleted) {
  Archive a;
  a.dir.Write("arch/archive.dat", "garbage that is no record at all");
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(list.load_report().damaged);
  ASSERT_TRUE(SaveArchiveList(list).ok);
  EXPECT_FALSE(fs::exists(a.dat));
  EXPECT_EQ(ReadAll(a.dat + ".damaged"), "garbage that is no record at all");
}

#ifndef _WIN32  // FIFOs, fork and kill
TEST(ArchiveInfoFile, CatalogueThatIsNoRegularFileIsNeitherReadNorReplaced) {
  TempDir dir;
  const std::string folder = dir.File("arch");
  fs::create_directories(folder);
  const std::string dat = JoinPath(folder, "archive.dat");
  ASSERT_EQ(::mkfifo(dat.c_str(), 0600), 0);  // reading it would block for ever
  TakenNames taken;
  ArchiveList list = LoadArchiveList(folder, taken);
  EXPECT_TRUE(list.load_report().damaged);
  ASSERT_TRUE(SaveArchiveList(list).ok);
  EXPECT_TRUE(fs::is_fifo(dat + ".damaged"));

  fs::remove(dat);
  fs::create_directory(dat);
  list = LoadArchiveList(folder, taken);
  EXPECT_TRUE(list.load_report().damaged);
  const ArchiveSaveResult saved = SaveArchiveList(list);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.error.find("archive.dat"), std::string::npos) << saved.error;
  EXPECT_TRUE(fs::is_directory(dat));
}
#endif

TEST(ArchiveInfoFile, HostileNamesInTheCatalogueAreDamageNotPaths) {
  Archive a;
  // Files that a careless join would find outside the type folder.
  a.dir.Write("outside.htm", "secret");
  a.dir.Write("arch/host/outside.htm", "secret");
  std::vector<TCacheItem> items = a.items;
  items.push_back(Item("http://host:80/p", "../../../outside.htm"));
  items.push_back(Item("http://host:80/q", "../outside.htm"));
  items.push_back(Item("http://host:80/r", std::string("a\\b")));
  items.push_back(Item("http://..:80/x.htm", "a.htm"));
  a.dir.Write("arch/archive.dat", Records(items));
  TakenNames taken;
  ArchiveList list = LoadArchiveList(a.folder, taken);
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list.load_report().records_unsafe, 3u);
  // A host of dots gives no domain folder at all ("NONE"), so that record
  // simply finds no copy.
  EXPECT_EQ(list.load_report().records_missing, 1u);
  EXPECT_TRUE(list.load_report().damaged);
  for (const auto& item : list.items()) EXPECT_TRUE(IsPlainName(item->ArchiveName));
  EXPECT_EQ(taken.size(), 3u);
}

#ifndef _WIN32  // FIFOs, fork and kill
// A save killed at any moment leaves either the old or the new catalogue,
// complete: never a missing, empty or half-written archive.dat.
TEST(ArchiveInfoFile, SaveKilledAtRandomMomentsNeverLosesTheCatalogue) {
  TempDir dir;
  const std::string folder = dir.File("arch");
  std::vector<TCacheItem> items;
  for (int i = 0; i < 3000; ++i) {
    items.push_back(Item("http://host:80/p" + std::to_string(i), "p" + std::to_string(i) + ".htm"));
    dir.Write("arch/host/text/p" + std::to_string(i) + ".htm", "");
  }
  const std::string old_bytes = Records(items);
  items.push_back(Item("http://host:80/new", "new.htm"));
  dir.Write("arch/host/text/new.htm", "");
  const std::string new_bytes = Records(items);
  std::mt19937 random(3);
  for (int round = 0; round < 12; ++round) {
    dir.Write("arch/archive.dat", old_bytes);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        TakenNames taken;
        ArchiveList list = LoadArchiveList(folder, taken);
        list.RecordArchivedItem(items.back());
        if (!SaveArchiveList(list).ok) ::_exit(2);
      }
    }
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child failed";
    const std::string now = ReadAll(JoinPath(folder, "archive.dat"));
    EXPECT_TRUE(now == old_bytes || now == new_bytes) << "round " << round << ": " << now.size();
  }
  // The temporary files of the killed saves go with the next save.
  TakenNames taken;
  ArchiveList list = LoadArchiveList(folder, taken);
  ASSERT_TRUE(SaveArchiveList(list).ok);
  for (const auto& entry : fs::directory_iterator(folder)) {
    EXPECT_NE(entry.path().filename().string().rfind("archive.tmp", 0), 0u) << entry.path();
  }
}
#endif

// Damaged-input suite: whatever the bytes, loading stops cleanly at the
// damage, keeps exactly the records before it, and says it was damaged.
TEST(ArchiveInfoFileDamage, TruncationAtEveryLength) {
  Archive a;
  const std::string whole = ReadAll(a.dat);
  std::vector<std::size_t> ends;
  std::size_t end = 0;
  for (const auto& item : a.items) {
    std::string one;
    AppendArchiveRecord(one, item);
    end += one.size();
    ends.push_back(end);
  }
  for (std::size_t length = 0; length <= whole.size(); ++length) {
    const ArchiveRecordParse parse = ParseArchiveRecords(std::string_view(whole).substr(0, length));
    std::size_t complete = 0;
    while (complete < ends.size() && ends[complete] <= length) ++complete;
    ASSERT_EQ(parse.items.size(), complete) << length;
    const bool on_boundary = length == 0 || (complete > 0 && ends[complete - 1] == length);
    EXPECT_EQ(parse.damage.empty(), on_boundary) << length;
    EXPECT_EQ(parse.consumed, complete == 0 ? 0 : ends[complete - 1]);
  }
  // And through the file, for a few lengths.
  for (std::size_t length : {std::size_t{1}, std::size_t{27}, ends[0] + 5, whole.size() - 1}) {
    a.dir.Write("arch/archive.dat", whole.substr(0, length));
    TakenNames taken;
    ArchiveList list = LoadArchiveList(a.folder, taken);
    EXPECT_TRUE(list.load_report().damaged) << length;
  }
}

TEST(ArchiveInfoFileDamage, AbsurdAndZeroLengths) {
  const std::string good =
      Records({Item("http://h:80/a", "a.htm"), Item("http://h:80/b", "b.htm")});
  for (std::uint32_t length : {0u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u, 1000u}) {
    for (std::size_t field = 0; field < 3; ++field) {
      std::string bytes = good;
      auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
      StoreLE<std::uint32_t>(p + 16 + 4 * field, length);
      const ArchiveRecordParse parse = ParseArchiveRecords(bytes);
      EXPECT_TRUE(parse.items.empty()) << length << " " << field;
      EXPECT_FALSE(parse.damage.empty());
      EXPECT_EQ(parse.consumed, 0u);
    }
  }
  // A text whose NUL is missing, or one with a NUL inside it.
  std::string bytes = good;
  bytes[28 + 5] = '\0';
  EXPECT_EQ(ParseArchiveRecords(bytes).items.size(), 0u);
  bytes = good;
  bytes[28 + 13] = 'x';
  EXPECT_EQ(ParseArchiveRecords(bytes).items.size(), 0u);
}

TEST(ArchiveInfoFileDamage, ByteFlipsNeverReadOutOfBounds) {
  Archive a;
  const std::string whole = ReadAll(a.dat);
  std::mt19937 random(7);
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (int flip : {0x01, 0x80, 0xFF}) {
      std::string bytes = whole;
      bytes[at] = static_cast<char>(bytes[at] ^ flip);
      const ArchiveRecordParse parse = ParseArchiveRecords(bytes);
      ASSERT_LE(parse.consumed, bytes.size());
      std::string again;
      for (const auto& item : parse.items) AppendArchiveRecord(again, *item);
      // Whatever was accepted reads back as the very bytes it came from.
      EXPECT_EQ(again, bytes.substr(0, parse.consumed)) << at;
    }
  }
  for (int round = 0; round < 200; ++round) {
    std::string bytes = whole;
    for (int k = 0; k < 4; ++k) bytes[random() % bytes.size()] = static_cast<char>(random());
    a.dir.Write("arch/archive.dat", bytes);
    TakenNames taken;
    ArchiveList list = LoadArchiveList(a.folder, taken);
    EXPECT_LE(list.size(), 3u);
    for (const auto& item : list.items()) EXPECT_TRUE(ArchiveSubPath(*item).has_value());
  }
}

}  // namespace
}  // namespace webhoard
