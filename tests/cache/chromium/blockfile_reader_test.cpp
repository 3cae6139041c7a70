// The blockfile reader over the real 2014 sample (read in place), over
// damaged copies of it, and over small folders written for the cases the
// sample lacks (blockfile_writer.h).
#include "cache/chromium/blockfile_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/file_util.h"
#include "support/blockfile_writer.h"
#include "support/temp_dir.h"
#include "support/test_data.h"

namespace webhoard {
namespace {

using testing::BlockfileEntryToWrite;
using testing::BlockfileImage;
using testing::TempDir;

struct Read {
  std::vector<ChromiumEntry> entries;
  std::vector<std::string> notes;

  const ChromiumEntry* Find(const std::string& key) const {
    for (const auto& entry : entries) {
      if (entry.key == key) return &entry;
    }
    return nullptr;
  }
  bool HasNote(const std::string& words) const {
    return std::any_of(notes.begin(), notes.end(), [&](const std::string& note) {
      return note.find(words) != std::string::npos;
    });
  }
};

Read ReadFolder(const std::string& folder, const ReadStopCheck& stop = {}) {
  Read read;
  ReadBlockfileCache(
      folder, [&](ChromiumEntry&& entry) { read.entries.push_back(std::move(entry)); }, read.notes,
      stop);
  return read;
}

// A body must lie inside the file named, wherever the reader found it.
void ExpectBodiesInside(const Read& read) {
  for (const auto& entry : read.entries) {
    if (!entry.body) continue;
    const auto size = FileSize(entry.body->file);
    ASSERT_TRUE(size) << entry.body->file;
    EXPECT_LE(entry.body->offset + entry.body->length, *size) << entry.key;
  }
}

std::string FileName(const ChromiumEntry& entry) {
  return entry.body ? std::filesystem::path(entry.body->file).filename().string() : "";
}

// The plaso sample: 217 entries; data_3 (4 KiB blocks) is missing, which
// costs the https entries their response info and 40 entries their body.
TEST(BlockfileSample, ListsEveryEntryWithItsStreamsOrTheirAbsence) {
  const std::string folder = testing::SharedSample("chromium-blockfile-plaso");
  if (folder.empty()) return;
  const Read read = ReadFolder(folder);
  ASSERT_EQ(read.entries.size(), 217u);
  EXPECT_EQ(read.entries[0].key, "https://s.ytimg.com/yts/imgbin/player-common-vfliLfqPT.webp");
  ASSERT_EQ(read.notes.size(), 1u);
  EXPECT_TRUE(read.HasNote("data_3 cannot be read (it is missing): 204 ")) << read.notes[0];

  std::map<std::string, int> places;
  int with_info = 0, https_with_info = 0, spilled_keys = 0;
  std::vector<std::size_t> long_keys;
  for (const auto& entry : read.entries) {
    EXPECT_TRUE(entry.finished && !entry.damaged && !entry.sparse) << entry.key;
    with_info += entry.response_info.has_value();
    https_with_info += entry.response_info && entry.key.starts_with("https:");
    ++places[FileName(entry).substr(0, 2)];
    if (entry.key.size() > 927) long_keys.push_back(entry.key.size());
    if (entry.key.size() > 159 && entry.key.size() <= 927) ++spilled_keys;
    // Bodies in blocks start on a block of their file.
    if (FileName(entry) == "data_1") {
      EXPECT_EQ((entry.body->offset - 8192) % 256, 0u);
    } else if (FileName(entry) == "data_2") {
      EXPECT_EQ((entry.body->offset - 8192) % 1024, 0u);
    }
  }
  EXPECT_EQ(with_info, 53);
  EXPECT_EQ(https_with_info, 0);
  EXPECT_EQ(places, (std::map<std::string, int>{{"f_", 76}, {"da", 59 + 23}, {"", 40 + 19}}));
  std::sort(long_keys.begin(), long_keys.end());
  EXPECT_EQ(long_keys, (std::vector<std::size_t>{1335, 1339}));
  EXPECT_EQ(spilled_keys, 63);
  ExpectBodiesInside(read);
}

TEST(BlockfileSample, NamedEntries) {
  const std::string folder = testing::SharedSample("chromium-blockfile-plaso");
  if (folder.empty()) return;
  const Read read = ReadFolder(folder);
  struct Case {
    std::string key;
    bool info;
    std::string body_file;  // "" for none
    std::uint64_t body_length;
  };
  const Case cases[] = {
      {"https://s.ytimg.com/yts/imgbin/player-common-vfliLfqPT.webp", false, "f_000010", 25960},
      {"http://www.apache.org/js/jquery.js", true, "f_000028", 55776},
      {"http://www.gstatic.com/sites/p/bec972/system/js/jot_min_view__en.js", true, "f_00001f",
       86823},
      {"http://tools.google.com/chrome/intl/en/welcome.html", true, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    const ChromiumEntry* entry = read.Find(c.key);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->response_info.has_value(), c.info);
    EXPECT_EQ(FileName(*entry), c.body_file);
    if (entry->body) {
      EXPECT_EQ(entry->body->offset, 0u);
      EXPECT_EQ(entry->body->length, c.body_length);
    }
    if (entry->response_info) {
      EXPECT_NE(entry->response_info->find("HTTP/1.1 "), std::string::npos);
    }
  }
}

// Copies of the sample cut short and with bytes changed: never a crash nor a
// read outside a file (the sanitizer build checks), never a body place
// outside its file, and never more entries than records.
TEST(BlockfileSample, DamagedCopiesAreReadSafely) {
  const std::string sample = testing::SharedSample("chromium-blockfile-plaso");
  if (sample.empty()) return;
  TempDir dir;
  std::filesystem::copy(sample, dir.path() + "/cache");
  const std::string folder = dir.path() + "/cache";
  std::mt19937 random(1401);
  for (const std::string name : {"index", "data_0", "data_1", "data_2", "f_000028"}) {
    SCOPED_TRACE(name);
    const std::string path = folder + "/" + name;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    const std::string sound = *ReadFileBytes(path);
    std::vector<std::size_t> used;  // flipping zero bytes of empty buckets and blocks finds little
    for (std::size_t i = 0; i < sound.size(); ++i) {
      if (sound[i] != 0) used.push_back(i);
    }
    std::vector<std::string> variants;
    for (const std::size_t cut :
         {std::size_t{0}, std::size_t{100}, std::size_t{368}, std::size_t{8191},
          std::size_t{8192 + 300}, sound.size() / 2, sound.size() - 1}) {
      variants.push_back(sound.substr(0, std::min(cut, sound.size())));
    }
    for (int round = 0; round < 15; ++round) {
      std::string flipped = sound;
      for (int i = 0; i < 6; ++i) {
        flipped[used[random() % used.size()]] ^= static_cast<char>(1 + random() % 255);
      }
      variants.push_back(flipped);
    }
    for (const std::string& variant : variants) {
      dir.Write("cache/" + name, variant);
      const Read read = ReadFolder(folder);
      EXPECT_LE(read.entries.size(), (270336u - 8192u) / 256u);  // the records data_1 holds
      ExpectBodiesInside(read);
    }
    dir.Write("cache/" + name, sound);
  }
}

// One line per entry handed on: its key and what the reader found.
std::vector<std::string> Summary(const Read& read) {
  std::vector<std::string> lines;
  for (const auto& entry : read.entries) {
    lines.push_back(entry.key + (entry.finished ? "" : " unfinished") +
                    (entry.damaged ? " damaged" : "") + (entry.sparse ? " sparse" : "") +
                    (entry.response_info ? " info" : "") + (entry.body ? " body" : ""));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

BlockfileEntryToWrite Entry(std::string key) {
  return {key, "HTTP/1.1 200 OK", "body of " + key};
}

TEST(BlockfileWalk, EntriesRecordsAndChains) {
  struct Case {
    const char* name;
    std::uint32_t table_length;
    std::function<void(BlockfileImage&)> build;
    std::vector<std::string> expected;
    std::string note;  // words a note must hold; "" for no note
  };
  const Case cases[] = {
      {"sound",
       0x400,
       [](BlockfileImage& image) {
         image.Add(Entry("http://a/"));
         image.Add(Entry("http://b/" + std::string(600, 'b')));  // spills into 3 blocks
         BlockfileEntryToWrite long_key = Entry("http://c/" + std::string(1330, 'c'));
         image.Add(long_key);
         BlockfileEntryToWrite separate = Entry("http://d/");
         separate.info_in_separate_file = separate.body_in_separate_file = true;
         image.Add(separate);
         image.Add({"http://e/", "HTTP/1.1 301", ""});
       },
       {"http://a/ info body", "http://b/" + std::string(600, 'b') + " info body",
        "http://c/" + std::string(1330, 'c') + " info body", "http://d/ info body",
        "http://e/ info"},
       ""},
      {"dirty, sparse and doomed",
       0x400,
       [](BlockfileImage& image) {
         BlockfileEntryToWrite dirty = Entry("http://dirty/");
         dirty.dirty = 1;
         image.Add(dirty);
         BlockfileEntryToWrite parent = Entry("http://parent/");
         parent.flags = 1;
         image.Add(parent);
         BlockfileEntryToWrite child = Entry("Range_http://parent/:2fc0be37b169de:1");
         child.flags = 2;
         image.Add(child);
         BlockfileEntryToWrite doomed = Entry("http://doomed/");
         doomed.state = 2;
         image.Add(doomed);
       },
       {"Range_http://parent/:2fc0be37b169de:1 sparse info body",
        "http://dirty/ unfinished info body", "http://parent/ sparse info body"},
       ""},
      {"a chain that loops",
       1,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         const std::uint32_t b = image.Add(Entry("http://b/"));  // head: b -> a
         image.SetEntryField(a, 4, b);
         image.Add(Entry("http://c/"));  // head: c -> b -> a -> b
       },
       {"http://a/ info body", "http://b/ info body", "http://c/ info body"},
       "lead back"},
      {"an entry that links to itself, as a longer run of blocks",
       1,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 4, a | 0x01000000u);
       },
       {"http://a/ info body"},
       "lead back"},
      {"a link past the end of data_1",
       1,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 4, 0xa001fff0u);
       },
       {"http://a/ info body"},
       "names no entry"},
      {"a link of the wrong type",
       1,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 4, 0xd0000001u);
       },
       {"http://a/ info body"},
       "names no entry"},
      {"a record whose self hash fails ends its chain",
       1,
       [](BlockfileImage& image) {
         image.Add(Entry("http://a/"));
         const std::uint32_t b = image.Add(Entry("http://b/"));
         image.SetEntryField(b, 12, 7, /*rehash=*/false);
       },
       {" damaged"},
       "counts 2 entries; its table leads to 1."},
      {"a key that fails its hash, a key past its record",
       0x400,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 0, image.EntryField(a, 0) ^ 1);
         const std::uint32_t b = image.Add(Entry("http://b/"));
         image.SetEntryField(b, 32, 200);
       },
       {" damaged", "http://a/ damaged"},
       ""},
      {"rankings node lost, foreign or failing its hash",
       0x400,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 8, 0);
         const std::uint32_t b = image.Add(Entry("http://b/"));
         const std::uint32_t c = image.Add(Entry("http://c/"));
         image.SetEntryField(b, 8, image.EntryField(c, 8));
         const std::uint32_t d = image.Add(Entry("http://d/"));
         image.files["data_0"][BlockfileImage::Offset(image.EntryField(d, 8))] ^= 1;
       },
       {"http://a/ damaged", "http://b/ damaged", "http://c/ info body", "http://d/ damaged"},
       ""},
      {"streams larger than their blocks or of a negative size",
       0x400,
       [](BlockfileImage& image) {
         const std::uint32_t a = image.Add(Entry("http://a/"));
         image.SetEntryField(a, 40, 257);
         const std::uint32_t b = image.Add(Entry("http://b/"));
         image.SetEntryField(b, 44, 0xffffffffu);
         BlockfileEntryToWrite separate = Entry("http://c/");
         separate.body_in_separate_file = true;
         const std::uint32_t c = image.Add(separate);
         image.SetEntryField(c, 44, 100000);
       },
       {"http://a/ damaged body", "http://b/ damaged info", "http://c/ damaged info"},
       "too short"},
      {"missing data_2 and f_ files cost streams, not entries",
       0x400,
       [](BlockfileImage& image) {
         image.Add({"http://a/", std::string(2000, 'h'), "body"});
         BlockfileEntryToWrite separate = Entry("http://b/");
         separate.body_in_separate_file = true;
         image.Add(separate);
         image.files.erase("data_2");
         image.files.erase("f_000001");
       },
       {"http://a/ body", "http://b/ info"},
       "data_2 cannot be read (it is missing): 1 "},
      {"a damaged block file header",
       0x400,
       [](BlockfileImage& image) {
         image.Add({"http://a/", std::string(2000, 'h'), "body"});
         image.files["data_2"][12] = 9;
       },
       {"http://a/ damaged body"},
       "data_2 cannot be read (its block size is unknown)"},
      {"no blockfile index",
       0x400,
       [](BlockfileImage& image) {
         image.Add(Entry("http://a/"));
         image.files["index"][0] = 'x';
       },
       {},
       "no blockfile index"},
      {"an index cut short",
       0x400,
       [](BlockfileImage& image) {
         image.Add(Entry("http://a/"));
         image.files["index"].resize(368 + 8);
       },
       {},
       "only 2 of 1024 buckets"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BlockfileImage image(c.table_length);
    c.build(image);
    TempDir dir;
    image.WriteTo(dir.path());
    const Read read = ReadFolder(dir.path());
    EXPECT_EQ(Summary(read), c.expected);
    if (c.note.empty()) {
      EXPECT_TRUE(read.notes.empty()) << read.notes.front();
    } else {
      EXPECT_TRUE(read.HasNote(c.note)) << (read.notes.empty() ? "no note" : read.notes.front());
    }
    ExpectBodiesInside(read);
  }
}

TEST(BlockfileWalk, StreamPlacesAndStop) {
  BlockfileImage image;
  const std::string info(300, 'i');
  image.Add({"http://blocks/", info, std::string(3000, 'b')});
  BlockfileEntryToWrite separate{"http://separate/", "HTTP/1.1 200 OK", std::string(20000, 's')};
  image.Add(separate);
  TempDir dir;
  image.WriteTo(dir.path());
  const Read read = ReadFolder(dir.path());
  const ChromiumEntry* blocks = read.Find("http://blocks/");
  ASSERT_TRUE(blocks && blocks->body && blocks->response_info);
  EXPECT_EQ(*blocks->response_info, info);
  EXPECT_EQ(blocks->body->file, dir.path() + "/data_2");
  EXPECT_EQ(blocks->body->offset, 8192u);
  EXPECT_EQ(blocks->body->length, 3000u);
  EXPECT_FALSE(blocks->body->crc32);
  const ChromiumEntry* file = read.Find("http://separate/");
  ASSERT_TRUE(file && file->body);
  EXPECT_EQ(file->body->file, dir.path() + "/f_000001");
  EXPECT_EQ(file->body->offset, 0u);
  EXPECT_EQ(file->body->length, 20000u);

  EXPECT_TRUE(ReadFolder(dir.path(), [] { return true; }).entries.empty());
}

}  // namespace
}  // namespace webhoard
