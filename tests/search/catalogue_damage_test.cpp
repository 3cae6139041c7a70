// One table of damaged catalogues, each read through every way the program
// reads a catalogue: the archive run and re-index (LoadArchiveList), the
// catalogue listing (ReadCatalogue) and the search. All of them must give the
// same verdict and the same records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_info_file.h"
#include "archive/catalogue_reader.h"
#include "search/archive_search.h"
#include "support/archive_folder.h"

namespace webhoard {
namespace {

using testing::ArchiveFolder;
using testing::CatalogueRecord;

struct Damage {
  const char* name;
  // Turns the clean bytes of records a, b, c (all with copies) into the
  // catalogue under test.
  std::string (*make)(const std::string& a, const std::string& b, const std::string& c);
  std::vector<std::string> kept;  // URLs every reader keeps
  bool damaged;
};

std::string Clean(const std::string& a, const std::string& b, const std::string& c) {
  return a + b + c;
}
std::string FirstTitleLengthZero(const std::string& a, const std::string& b, const std::string& c) {
  std::string out = a;
  out.replace(20, 4, std::string(4, '\0'));
  return out + b + c;
}
std::string CutInSecondHead(const std::string& a, const std::string& b, const std::string&) {
  return a + b.substr(0, 20);
}
std::string SecondUrlPastTheEnd(const std::string& a, const std::string& b, const std::string& c) {
  std::string out = b;
  out[19] = '\x7F';
  return a + out + c;
}
std::string NulInsideSecondName(const std::string& a, const std::string& b, const std::string& c) {
  std::string out = b;
  out[out.size() - 3] = '\0';
  return a + out + c;
}
std::string NoNulAfterSecondName(const std::string& a, const std::string& b, const std::string& c) {
  std::string out = b;
  out.back() = 'x';
  return a + out + c;
}
std::string TrailingBytes(const std::string& a, const std::string& b, const std::string& c) {
  return a + b + c + std::string("\x01\x00\x00", 3);
}
std::string UnsafeSecondName(const std::string& a, const std::string&, const std::string& c) {
  return a + CatalogueRecord(1, 40000.0, "http://b.example:80/b", "B", "..") + c;
}
std::string UnsafeSecondHost(const std::string& a, const std::string&, const std::string& c) {
  return a + CatalogueRecord(1, 40000.0, "http://..:80/b", "B", "b.htm") + c;
}
std::string SecondCopyMissing(const std::string& a, const std::string&, const std::string& c) {
  return a + CatalogueRecord(1, 40000.0, "http://b.example:80/gone", "B", "gone.htm") + c;
}

const char* const kA = "http://a.example:80/a";
const char* const kB = "http://b.example:80/b";
const char* const kC = "http://c.example:80/c";

const Damage kDamages[] = {
    {"clean", Clean, {kA, kB, kC}, false},
    {"first title length zero", FirstTitleLengthZero, {}, true},
    {"cut inside the second head", CutInSecondHead, {kA}, true},
    {"second URL length past the end", SecondUrlPastTheEnd, {kA}, true},
    {"NUL inside the second name", NulInsideSecondName, {kA}, true},
    {"no NUL after the second name", NoNulAfterSecondName, {kA}, true},
    {"three bytes after the last record", TrailingBytes, {kA, kB, kC}, true},
    {"second name \"..\"", UnsafeSecondName, {kA, kC}, true},
    // Host ".." reads as the domain "NONE", where no copy lies.
    {"second host \"..\"", UnsafeSecondHost, {kA, kC}, false},
    {"second copy deleted by hand", SecondCopyMissing, {kA, kC}, false},
};

std::vector<std::string> Urls(const TCacheItemList& items) {
  std::vector<std::string> out;
  for (const auto& item : items) out.push_back(item->URL);
  return out;
}

TEST(CatalogueDamage, EveryReaderGivesTheSameVerdictAndRecords) {
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.name);
    ArchiveFolder archive;
    archive.Add(kA, 1, "a.htm", "alpha");
    archive.Add(kB, 1, "b.htm", "beta");
    archive.Add(kC, 1, "c.htm", "gamma");
    const std::string a = CatalogueRecord(1, 40000.0, kA, "title", "a.htm");
    const std::string b = CatalogueRecord(1, 40000.0, kB, "title", "b.htm");
    const std::string c = CatalogueRecord(1, 40000.0, kC, "title", "c.htm");
    ASSERT_EQ(archive.catalogue(), a + b + c);
    archive.dir.Write("archive/archive.dat", damage.make(a, b, c));

    TakenNames taken;
    const ArchiveList loaded = LoadArchiveList(archive.folder(), taken);
    EXPECT_EQ(Urls(loaded.items()), damage.kept);
    EXPECT_EQ(loaded.load_report().damaged, damage.damaged) << loaded.load_report().damage;

    const CatalogueListing listing = ReadCatalogue(archive.folder());
    EXPECT_EQ(Urls(listing.items), damage.kept);
    EXPECT_EQ(listing.report.damaged, damage.damaged);
    EXPECT_EQ(listing.report.damage, loaded.load_report().damage);

    const SearchResult found = SearchArchive(archive.folder(), "example", "");
    std::vector<std::string> hits;
    for (const SearchHit& hit : found.hits) hits.push_back(hit.address);
    std::vector<std::string> expected;
    for (const std::string& url : damage.kept) expected.push_back(url.substr(0, url.find(":80")) +
                                                                  url.substr(url.find(":80") + 3));
    EXPECT_EQ(hits, expected);
    EXPECT_EQ(found.error, listing.report.damage);
  }
}

}  // namespace
}  // namespace webhoard
