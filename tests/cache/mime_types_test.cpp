#include "cache/mime_types.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "cache/cache_item.h"
#include "cache/mime_type_file.h"
#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

const std::string kHeaderLine = std::string(kMimeTypeFileHeader) + "\r\n";

class MimeTypes : public ::testing::Test {
 protected:
  void SetUp() override { LoadMimeTypes(dir_.path()); }

  std::string DatPath() const { return dir_.File(kMimeTypeFileName); }
  std::string DatContents() const { return ReadFileBytes(DatPath()).value_or("<missing>"); }
  void WriteDat(const std::string& contents) {
    dir_.Write(kMimeTypeFileName, contents);
    LoadMimeTypes(dir_.path());
  }

  testing::TempDir dir_;
};

TEST_F(MimeTypes, BuiltInPositions) {
  EXPECT_EQ(MimeTypeCount(), 72);
  const std::pair<int, const char*> spots[] = {
      {1, "text/html"},
      {2, "image/gif"},
      {3, "image/jpeg"},
      {4, "text/plain"},
      {5, "text/richtext"},
      {7, "image/xbitmap"},
      {8, "image/pjpeg"},
      {12, "image/x-ms-bmp"},
      {16, "image/x-portable-pixmap"},
      {19, "image/x-portable-anymap"},
      {20, "image/x-cmu-raster"},
      {21, "video/x-sgi-movie"},
      {24, "video/mpeg"},
      {25, "video/avi"},
      {26, "audio/x-wav"},
      {27, "audio/wav"},
      {30, "audio/x-pn-realaudio"},
      {32, "audio/basic"},
      {33, "application/msword"},
      {34, "application/x-troff-man"},
      {40, "application/octet-stream"},
      {42, "application/mac-binhex40"},
      {45, "application/x-ns-proxy-autoconfig"},
      {49, "application/x-gzip"},
      {51, "application/x-mocha"},
      {58, "application/octet-string"},
      {60, "application/zip"},
      {61, "www/unknown"},
      {62, "x-world/x-vrml"},
      {63, "audio/midi"},
      {64, "audio/x-mid"},
      {65, "image/fif"},
      {66, "image/png"},
      {67, "application/pdf"},
      {70, "application/x-gocserve"},
      {71, "application/x-tvml"},
      {72, "application/exe"},
  };
  for (const auto& [position, name] : spots) {
    EXPECT_EQ(MimeTypeName(position), name) << position;
    EXPECT_EQ(LookupMimeType(name), position) << name;
  }
  // Every built-in type is distinct and lower case, so each finds itself.
  std::set<std::string> seen;
  for (int i = 1; i <= 72; ++i) {
    const std::string name = MimeTypeName(i);
    EXPECT_TRUE(seen.insert(name).second) << name;
    EXPECT_EQ(LookupMimeType(name), i);
    EXPECT_EQ(name.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(DatPath()));
}

TEST_F(MimeTypes, LookupTrimsIgnoresCaseAndDefaultsToHtml) {
  EXPECT_EQ(LookupMimeType(""), 1);
  EXPECT_EQ(LookupMimeType(" \t\r\n"), 1);
  EXPECT_EQ(LookupMimeType("  IMAGE/GIF \t"), 2);
  EXPECT_EQ(LookupMimeType("\x01text/plain\r\n\x7F\xA0"), 4);
  EXPECT_EQ(LookupMimeType("Application/PDF"), 67);
  EXPECT_EQ(MimeTypeCount(), 72);
}

TEST_F(MimeTypes, UnusableTypesAddNothing) {
  // Too short, or without "/".
  EXPECT_EQ(LookupMimeType("abc"), 0);
  EXPECT_EQ(LookupMimeType("a/"), 0);
  EXPECT_EQ(LookupMimeType("html"), 0);
  // Control bytes inside the type: a line break would split its line in
  // MIMETYPE.DAT and renumber every later type.
  EXPECT_EQ(LookupMimeType("text/x\r\ninjected/type"), 0);
  EXPECT_EQ(LookupMimeType("text/x\ninjected"), 0);
  EXPECT_EQ(LookupMimeType(std::string_view("text/x\0y", 8)), 0);
  EXPECT_EQ(LookupMimeType("text/\x7Fx"), 0);
  EXPECT_EQ(MimeTypeCount(), 72);
  EXPECT_FALSE(std::filesystem::exists(DatPath()));
  // The shortest usable new type.
  EXPECT_EQ(LookupMimeType("a/b"), 73);
}

TEST_F(MimeTypes, TypesWithParametersAreNewTypesOfTheirOwn) {
  // What servers send for most pages: the whole value is the type's text, in
  // the text folder and category, kept on one line of MIMETYPE.DAT.
  EXPECT_EQ(LookupMimeType("text/html; charset=iso-8859-1"), 73);
  EXPECT_EQ(MimeTypeFolder(73), "text");
  EXPECT_EQ(MimeTypeCategory(MimeTypeName(73)), 0);
  EXPECT_EQ(LookupMimeType("image/caf\xE9s"), 74);
  EXPECT_EQ(DatContents(), kHeaderLine + "text/html; charset=iso-8859-1\r\nimage/caf\xE9s\r\n");
  LoadMimeTypes(dir_.path());
  EXPECT_EQ(LookupMimeType("TEXT/HTML; charset=ISO-8859-1"), 73);
}

TEST_F(MimeTypes, NewTypeCreatesTheFileAndKeepsItsPositionNextRun) {
  EXPECT_EQ(LookupMimeType(" Model/VRML "), 73);
  EXPECT_EQ(MimeTypeName(73), "model/vrml");
  EXPECT_EQ(LookupMimeType("model/vrml"), 73);
  EXPECT_EQ(LookupMimeType("image/svg+xml"), 74);
  EXPECT_EQ(DatContents(), kHeaderLine + "model/vrml\r\nimage/svg+xml\r\n");

  LoadMimeTypes(dir_.path());  // the next run
  EXPECT_EQ(MimeTypeCount(), 74);
  EXPECT_EQ(LookupMimeType("MODEL/VRML"), 73);
  EXPECT_EQ(LookupMimeType("image/svg+xml"), 74);
  EXPECT_EQ(LookupMimeType("font/woff"), 75);
  EXPECT_EQ(DatContents(), kHeaderLine + "model/vrml\r\nimage/svg+xml\r\nfont/woff\r\n");
}

TEST_F(MimeTypes, FileLinesAreTakenAsTheyStand) {
  // The first line is the header whatever it says; an empty line is an empty
  // entry; lines are neither trimmed nor lower-cased; the first copy wins.
  WriteDat("whatever\r\nFoo/Bar\r\n\r\n x/y \r\nfoo/bar\r\ntext/html\r\n");
  EXPECT_EQ(MimeTypeCount(), 77);
  EXPECT_EQ(MimeTypeName(73), "Foo/Bar");
  EXPECT_EQ(MimeTypeName(74), "");
  EXPECT_EQ(MimeTypeName(75), " x/y ");
  EXPECT_EQ(LookupMimeType("foo/bar"), 73);
  EXPECT_EQ(LookupMimeType("text/html"), 1);
  EXPECT_EQ(LookupMimeType("x/y"), 78);  // the stored copy holds blanks
}

TEST_F(MimeTypes, FileWithoutHeaderLosesItsFirstType) {
  WriteDat("first/type\r\nsecond/type\r\n");
  EXPECT_EQ(MimeTypeCount(), 73);
  EXPECT_EQ(MimeTypeName(73), "second/type");
  EXPECT_EQ(LookupMimeType("first/type"), 74);
}

TEST_F(MimeTypes, BareLineFeedsAndLongLines) {
  const std::string long_line = "x/" + std::string(300, 'a');
  WriteDat("header\none/a\n" + long_line + "\r\nlast/b");
  EXPECT_EQ(MimeTypeCount(), 75);
  EXPECT_EQ(MimeTypeName(73), "one/a");
  EXPECT_EQ(MimeTypeName(74), long_line.substr(0, 255));
  EXPECT_EQ(MimeTypeName(75), "last/b");
}

TEST_F(MimeTypes, AppendingEndsAnUnterminatedLastLineFirst) {
  WriteDat(kHeaderLine + "last/b");
  EXPECT_EQ(LookupMimeType("new/c"), 74);
  EXPECT_EQ(DatContents(), kHeaderLine + "last/b\r\nnew/c\r\n");
  LoadMimeTypes(dir_.path());
  EXPECT_EQ(LookupMimeType("last/b"), 73);
  EXPECT_EQ(LookupMimeType("new/c"), 74);
}

TEST_F(MimeTypes, AnEmptyFileGetsItsHeaderBeforeTheFirstType) {
  WriteDat("");
  EXPECT_EQ(LookupMimeType("new/c"), 73);
  EXPECT_EQ(DatContents(), kHeaderLine + "new/c\r\n");
  LoadMimeTypes(dir_.path());
  EXPECT_EQ(MimeTypeName(73), "new/c");
}

TEST_F(MimeTypes, LongTypesKeepOnePositionAcrossRuns) {
  const std::string long_type = "application/" + std::string(400, 'z');
  EXPECT_EQ(LookupMimeType(long_type), 73);
  EXPECT_EQ(MimeTypeName(73).size(), 255u);
  LoadMimeTypes(dir_.path());
  EXPECT_EQ(LookupMimeType(long_type), 73);
  EXPECT_EQ(MimeTypeCount(), 73);
  EXPECT_EQ(DatContents(), kHeaderLine + long_type.substr(0, 255) + "\r\n");
}

TEST_F(MimeTypes, PositionsPast255AreKeptWhole) {
  for (int i = 0; i < 250; ++i) {
    ASSERT_EQ(LookupMimeType("test/t" + std::to_string(i)), 73 + i);
  }
  EXPECT_EQ(MimeTypeName(300), "test/t227");
  EXPECT_EQ(MimeTypeFolder(300), "test");
  LoadMimeTypes(dir_.path());
  EXPECT_EQ(LookupMimeType("test/t227"), 300);
  EXPECT_EQ(MimeTypeName(300 & 0xFF), "application/x-zip-compressed");  // another type
}

TEST_F(MimeTypes, WriteFailureIsPassedOnAfterTheTypeIsAdded) {
  LoadMimeTypes(dir_.File("no/such/folder"));
  try {
    LookupMimeType("new/one");
    FAIL() << "the failed save went unreported";
  } catch (const MimeTypeFileError& error) {
    EXPECT_EQ(error.position(), 73);
    EXPECT_NE(std::string(error.what()).find("No such file or directory"), std::string::npos);
  }
  EXPECT_EQ(LookupMimeType("new/one"), 73);  // known for the rest of the run

  std::string save_error;
  EXPECT_EQ(LookupMimeType("new/two", &save_error), 74);
  EXPECT_NE(save_error.find(kMimeTypeFileName), std::string::npos);
}

TEST_F(MimeTypes, UnreadableFileIsReportedAndNeverAppendedTo) {
  std::filesystem::create_directory(DatPath());  // exists, but is no file
  std::string error;
  EXPECT_FALSE(LoadMimeTypes(dir_.path(), &error));
  EXPECT_NE(error.find(kMimeTypeFileName), std::string::npos);
  EXPECT_EQ(MimeTypeCount(), 72);
  std::string save_error;
  EXPECT_EQ(LookupMimeType("new/one", &save_error), 73);
  EXPECT_FALSE(save_error.empty());
  EXPECT_TRUE(std::filesystem::is_empty(DatPath()));
}

TEST_F(MimeTypes, TheUsersListBeginsAsACopyOfTheSeedWhenATypeIsAdded) {
  const std::string seed = dir_.Write("share/MIMETYPE.DAT", kHeaderLine + "a/seed\r\nb/seed\r\n");
  const MimeTypeFiles files{dir_.File("user/data/MIMETYPE.DAT"), seed};
  std::string error;
  ASSERT_TRUE(LoadMimeTypes(files, NewMimeTypes::kSaved, &error)) << error;
  EXPECT_EQ(LookupMimeType("b/seed"), 74);
  EXPECT_FALSE(std::filesystem::exists(files.own));  // nothing new: nothing written
  EXPECT_EQ(LookupMimeType("c/new"), 75);
  EXPECT_EQ(LookupMimeType("d/new"), 76);
  EXPECT_EQ(ReadFileBytes(files.own), kHeaderLine + "a/seed\r\nb/seed\r\nc/new\r\nd/new\r\n");
  EXPECT_EQ(ReadFileBytes(seed), kHeaderLine + "a/seed\r\nb/seed\r\n");

  // The next run reads the user's list; a seed that grew since is not read.
  dir_.Write("share/MIMETYPE.DAT", kHeaderLine + "a/seed\r\nb/seed\r\nx/later\r\n");
  ASSERT_TRUE(LoadMimeTypes(files, NewMimeTypes::kSaved, &error));
  EXPECT_EQ(LookupMimeType("d/new"), 76);
  EXPECT_EQ(LookupMimeType("x/later"), 77);
}

TEST_F(MimeTypes, TypesForThisRunOnlyWriteNothing) {
  const std::string seed = dir_.Write("seed/MIMETYPE.DAT", kHeaderLine + "a/seed\r\n");
  const MimeTypeFiles files{dir_.File("user/MIMETYPE.DAT"), seed};
  std::string error;
  ASSERT_TRUE(LoadMimeTypes(files, NewMimeTypes::kThisRunOnly, &error));
  std::string save_error;
  EXPECT_EQ(LookupMimeType("a/seed", &save_error), 73);
  EXPECT_EQ(LookupMimeType("c/new", &save_error), 74);
  EXPECT_EQ(LookupMimeType("c/new", &save_error), 74);
  EXPECT_EQ(save_error, "");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("user")));
  EXPECT_EQ(ReadFileBytes(seed), kHeaderLine + "a/seed\r\n");
}

TEST_F(MimeTypes, NamesAndFoldersOfPositions) {
  EXPECT_EQ(MimeTypeName(0), "text/plain");
  EXPECT_EQ(MimeTypeName(-5), "text/plain");
  EXPECT_EQ(MimeTypeName(73), "text/plain");
  EXPECT_EQ(MimeTypeFolder(0), "text");
  EXPECT_EQ(MimeTypeFolder(1000), "text");
  const std::pair<int, const char*> folders[] = {{1, "text"},    {2, "image"},        {21, "video"},
                                                 {26, "audio"},  {33, "application"}, {61, "www"},
                                                 {62, "x-world"}};
  for (const auto& [position, folder] : folders) EXPECT_EQ(MimeTypeFolder(position), folder);
}

TEST_F(MimeTypes, UnsafeTypeFoldersBecomeOther) {
  WriteDat(kHeaderLine +
           "/lead\r\n./x\r\n../x\r\n..\\evil/x\r\nA b/c\r\nnoslash\r\n\r\n"
           "x.y+z_w-1/q\r\nMixed/Case\r\n");
  const char* expected[] = {"other", "other", "other",     "other", "other",
                            "other", "other", "x.y+z_w-1", "Mixed"};
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(MimeTypeFolder(73 + i), expected[i]) << MimeTypeName(73 + i);
  // Types that web servers send: a folder that climbs is not kept.
  EXPECT_EQ(MimeTypeFolder(LookupMimeType("../../etc/passwd")), "other");
  EXPECT_EQ(MimeTypeFolder(LookupMimeType("..\\..\\x/y")), "other");
  EXPECT_EQ(MimeTypeFolder(LookupMimeType("audio/mp4")), "audio");
}

TEST(MimeTypeCategory, DecidedByTheFirstFiveBytes) {
  EXPECT_EQ(MimeTypeCategory("text/html"), kCategoryText);
  EXPECT_EQ(MimeTypeCategory("text/"), kCategoryText);
  EXPECT_EQ(MimeTypeCategory("image/png"), kCategoryMedia);
  EXPECT_EQ(MimeTypeCategory("audio"), kCategoryMedia);
  EXPECT_EQ(MimeTypeCategory("videotape"), kCategoryMedia);
  EXPECT_EQ(MimeTypeCategory("application/pdf"), kCategoryOther);
  EXPECT_EQ(MimeTypeCategory(""), kCategoryOther);
  EXPECT_EQ(MimeTypeCategory("text"), kCategoryOther);
  EXPECT_EQ(MimeTypeCategory("Text/html"), kCategoryOther);  // readers lower-case first
  EXPECT_EQ(MimeTypeCategory("imag"), kCategoryOther);
}

TEST(MimeTypeFile, ParsesLines) {
  EXPECT_TRUE(ParseMimeTypeFile("").empty());
  EXPECT_TRUE(ParseMimeTypeFile("only a header").empty());
  EXPECT_TRUE(ParseMimeTypeFile("header\r\n").empty());
  EXPECT_EQ(ParseMimeTypeFile("h\r\n\r\na/b\r\n"), (std::vector<std::string>{"", "a/b"}));
  EXPECT_EQ(ParseMimeTypeFile("h\na\rb/c\n"), (std::vector<std::string>{"a\rb/c"}));
}

}  // namespace
}  // namespace webhoard
