#include <gtest/gtest.h>

#include "common/ascii.h"
#include "common/file_util.h"
#include "common/little_endian.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

TEST(Ascii, CaseChangesTouchOnlyAsciiLetters) {
  EXPECT_EQ(AsciiLower("HTTP://Host\xC4\xE4/"), "http://host\xC4\xE4/");
  EXPECT_EQ(AsciiUpper("get \xE4"), "GET \xE4");
  EXPECT_TRUE(StartsWithNoCase("Http://x", "HTTP://"));
  EXPECT_FALSE(StartsWithNoCase("HTTP:", "HTTP://"));
  EXPECT_EQ(FindNoCase("abcDEF", "cdE"), 2u);
  EXPECT_EQ(FindNoCase("ab", "abc"), std::string_view::npos);
  EXPECT_LT(CompareNoCase("apple", "Banana"), 0);
  EXPECT_EQ(CompareNoCase("ABC", "abc"), 0);
  EXPECT_GT(CompareNoCase("abc\xE4", "abcz"), 0);  // high bytes sort after ASCII
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
}

TEST(LittleEndian, ReadsAreBoundsChecked) {
  const std::uint8_t raw[] = {0x01, 0x02, 0x03, 0x04, 0xFF};
  const Bytes bytes(raw);
  EXPECT_EQ(ReadU32(bytes, 0).value(), 0x04030201u);
  EXPECT_EQ(ReadU16(bytes, 3).value(), 0xFF04u);
  EXPECT_FALSE(ReadU32(bytes, 2));
  EXPECT_FALSE(ReadU16(bytes, ~0ull));  // no overflow on absurd offsets
  EXPECT_FALSE(FitsIn(10, 5, ~0ull));
  std::string out;
  AppendLE<std::int32_t>(out, -2);
  EXPECT_EQ(out, std::string("\xFE\xFF\xFF\xFF", 4));
}

TEST(FileUtil, AtomicWriteReplacesAndLeavesNoTemporary) {
  testing::TempDir dir;
  const std::string target = dir.Write("a.dat", "old");
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(target, "new contents", &error)) << error;
  EXPECT_EQ(ReadFileBytes(target).value(), "new contents");
  EXPECT_FALSE(FileExists(target + ".tmp"));
}

TEST(FileUtil, FailedAtomicWriteKeepsTheOldFile) {
  testing::TempDir dir;
  const std::string target = dir.Write("a.dat", "old");
  std::string error;
  EXPECT_FALSE(WriteFileAtomically(target, "new", dir.File("missing/x.tmp"), &error));
  EXPECT_NE(error.find("missing/x.tmp"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(target).value(), "old");
}

TEST(FileUtil, ReadRefusesFoldersMissingAndOversizedFiles) {
  testing::TempDir dir;
  EXPECT_FALSE(ReadFileBytes(dir.path()));
  EXPECT_FALSE(ReadFileBytes(dir.File("none")));
  const std::string f = dir.Write("big", std::string(100, 'x'));
  EXPECT_FALSE(ReadFileBytes(f, 99));
  EXPECT_EQ(ReadFileBytes(f, 100)->size(), 100u);
  EXPECT_TRUE(AppendToFile(f, "yz"));
  EXPECT_EQ(FileSize(f).value(), 102u);
}

TEST(FileUtil, JoinPathPutsOneSlash) {
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "/b"), "/a/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

}  // namespace
}  // namespace webhoard
