// The registry export file: what Windows writes is read, what we write reads
// back, what the user put there survives a rewrite, and damaged text is
// recognised as damaged without any read outside the input.
#include <gtest/gtest.h>

#include <random>

#include "platform/regedit_format.h"

namespace webhoard {
namespace {

constexpr std::string_view kUserKey = "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator";

// As the registry editor of Windows 95 exports it.
constexpr std::string_view kExport =
    "REGEDIT4\r\n"
    "\r\n"
    "; exported from the old machine\r\n"
    "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator]\r\n"
    "@=\"the default\"\r\n"
    "\"Path\"=\"C:\\\\Program Files\\\\Netscape\\\\\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "\"Flags\"=dword:00000001\r\n"
    "\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,\\\r\n"
    "  17,18\r\n"
    "\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"
    "\"AsBytes\"=hex(1):41,42,43,00\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Cache]\r\n"
    "; the cache folder\r\n"
    "\"Cache Dir\"=\"C:\\\\NETSCAPE\\\\CACHE\"\r\n"
    "\r\n";

RegistryTree Parse(std::string_view text) {
  auto tree = ParseRegistryFile(text);
  EXPECT_TRUE(tree) << text;
  return tree ? std::move(*tree) : RegistryTree();
}

TEST(RegistryFileFormat, ReadsWhatTheRegistryEditorExports) {
  const RegistryTree tree = Parse(kExport);
  EXPECT_FALSE(tree.version5);
  EXPECT_EQ(tree.line_end, "\r\n");
  EXPECT_EQ(tree.ReadString(kUserKey, ""), "the default");
  EXPECT_EQ(tree.ReadString(kUserKey, "path"), "C:\\Program Files\\Netscape\\");
  EXPECT_EQ(tree.ReadString(kUserKey, "Quote"), "say \"hi\"");
  EXPECT_EQ(tree.ReadString(kUserKey, "AsBytes"), "ABC");
  // Other types read as absent.
  EXPECT_FALSE(tree.ReadString(kUserKey, "Flags"));
  EXPECT_FALSE(tree.ReadString(kUserKey, "Blob"));
  EXPECT_FALSE(tree.ReadString(kUserKey, "Expand"));
  EXPECT_EQ(tree.ReadString(std::string(kUserKey) + "\\CACHE", "cache dir"), "C:\\NETSCAPE\\CACHE");
  EXPECT_TRUE(tree.KeyExists("hkey_current_user\\software"));
}

TEST(RegistryFileFormat, RewritingKeepsEverythingTheUserPutThere) {
  RegistryTree tree = Parse(kExport);
  ASSERT_TRUE(tree.SetString(std::string(kUserKey) + "\\Cache", "Cache Dir", "D:\\NEW"));
  const std::string text = FormatRegistryFile(tree);
  EXPECT_NE(text.find("; exported from the old machine\r\n"), std::string::npos);
  EXPECT_NE(text.find("; the cache folder\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Flags\"=dword:00000001\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Blob\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,"
                      "15,16,\\\r\n  17,18\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"Expand\"=hex(2):25,54,45,4d,50,25,00\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Cache Dir\"=\"D:\\\\NEW\"\r\n"), std::string::npos);
  // And it reads back to the same tree.
  const RegistryTree again = Parse(text);
  EXPECT_EQ(FormatRegistryFile(again), text);
}

TEST(RegistryFileFormat, KeysAndValuesKeepTheSpellingTheyWereFirstWrittenIn) {
  RegistryTree tree;
  tree.SetString("HKEY_CURRENT_USER\\Software\\Tarnwell\\Webhoard", "FAT Path", "a");
  tree.SetString("HKEY_CURRENT_USER\\SOFTWARE\\TARNWELL\\Other", "fat path", "b");
  tree.SetString("hkey_current_user\\software\\tarnwell\\webhoard", "fat PATH", "c");
  const std::string text = FormatRegistryFile(tree);
  EXPECT_EQ(text,
            "REGEDIT4\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Webhoard]\r\n"
            "\"FAT Path\"=\"c\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\Tarnwell\\Other]\r\n"
            "\"fat path\"=\"b\"\r\n\r\n");
}

TEST(RegistryFileFormat, DeletionsAndLineBreaksOfEveryKind) {
  const RegistryTree tree = Parse(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\A\\B]\n"
      "\"Keep\"=\"1\"\n"
      "\"Drop\"=\"2\"\n"
      "\"Drop\"=-\n"
      "[HKEY_CURRENT_USER\\A\\C\\D]\n"
      "\"x\"=\"y\"\n"
      "[-HKEY_CURRENT_USER\\A\\C]\n"
      "\"ignored\"=\"after a deletion\"\n"
      "[HKEY_CURRENT_USER\\A\\B]   \n"
      "  \"Spaced\" = \"z\"  \n");
  EXPECT_TRUE(tree.version5);
  EXPECT_EQ(tree.line_end, "\n");
  EXPECT_EQ(tree.ReadString("HKEY_CURRENT_USER\\A\\B", "Keep"), "1");
  EXPECT_FALSE(tree.ReadString("HKEY_CURRENT_USER\\A\\B", "Drop"));
  EXPECT_EQ(tree.ReadString("HKEY_CURRENT_USER\\A\\B", "Spaced"), "z");
  EXPECT_FALSE(tree.KeyExists("HKEY_CURRENT_USER\\A\\C"));
  EXPECT_FALSE(tree.KeyExists("HKEY_CURRENT_USER\\A\\C\\D"));
  // LF files are rewritten with LF.
  EXPECT_EQ(FormatRegistryFile(tree).find('\r'), std::string::npos);
}

TEST(RegistryFileFormat, ReadsTheUtf16FilesOfTheVersion5Editor) {
  const std::string text =
      "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\S]\r\n"
      "\"DirRoot\"=\"C:\\\\Users\\\\J\xF6rg\"\r\n\"Wide\"=hex(1):4a,00,f6,00,00,00\r\n";
  std::string wide = "\xFF\xFE";
  for (char c : text) {
    wide.push_back(c);
    wide.push_back('\0');
  }
  const RegistryTree tree = Parse(wide);
  EXPECT_EQ(tree.ReadString("HKEY_LOCAL_MACHINE\\S", "DirRoot"), "C:\\Users\\J\xF6rg");
  EXPECT_EQ(tree.ReadString("HKEY_LOCAL_MACHINE\\S", "Wide"), "J\xF6");
  // A character beyond one byte cannot be kept: the file counts as damaged.
  std::string beyond = wide;
  beyond[beyond.size() - 3] = '\x01';
  EXPECT_FALSE(ParseRegistryFile(beyond));
  EXPECT_FALSE(ParseRegistryFile(wide.substr(0, wide.size() - 1)));
}

TEST(RegistryFileFormat, StringsWithLineBreaksAreWrittenAsBytes) {
  RegistryTree tree;
  tree.SetString("HKEY_CURRENT_USER\\K", "multi", std::string("a\r\nb\0c", 6));
  tree.SetString("HKEY_CURRENT_USER\\K", "long", std::string(100, '\n'));
  const std::string text = FormatRegistryFile(tree);
  EXPECT_NE(text.find("\"multi\"=hex(1):61,0d,0a,62,00,63,00\r\n"), std::string::npos);
  const RegistryTree again = Parse(text);
  EXPECT_EQ(again.ReadString("HKEY_CURRENT_USER\\K", "multi"), std::string("a\r\nb\0c", 6));
  EXPECT_EQ(again.ReadString("HKEY_CURRENT_USER\\K", "long"), std::string(100, '\n'));
  tree.version5 = true;  // version 5 files hold such strings as UTF-16LE
  EXPECT_EQ(Parse(FormatRegistryFile(tree)).ReadString("HKEY_CURRENT_USER\\K", "multi"),
            std::string("a\r\nb\0c", 6));
}

TEST(RegistryFileFormat, StrayBreaksAndDanglingContinuationsRewriteStably) {
  // Each of these once read back differently after a rewrite.
  const char* texts[] = {
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"h\"=hex:01,\\\r]  02\r\r\r \n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"h\"=hex:01,\\\n\n; note\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"h\"=hex:01,\\\r\n",
  };
  for (const char* text : texts) {
    const RegistryTree tree = Parse(text);
    const std::string once = FormatRegistryFile(tree);
    EXPECT_EQ(FormatRegistryFile(Parse(once)), once) << text;
  }
  const RegistryTree tree = Parse(texts[1]);
  ASSERT_NE(tree.FindKey("HKEY_CURRENT_USER\\A"), nullptr);
  EXPECT_EQ(tree.FindKey("HKEY_CURRENT_USER\\A")->values.size(), 2u);  // the value and the note
}

TEST(RegistryFileFormat, EmptyFilesAreEmptyAndDamagedFilesAreRecognised) {
  EXPECT_TRUE(ParseRegistryFile("")->keys().empty());
  EXPECT_TRUE(ParseRegistryFile("REGEDIT4")->keys().empty());
  const char* damaged[] = {
      "not a registry file",
      "REGEDIT5\r\n",
      "\x01\x02\x03",
      "REGEDIT4\r\n\"Name\"=\"before any key\"\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\r\n",
      "REGEDIT4\r\n[Software\\A]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A\\\\B]\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"Name=\"x\"\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"Name\"=\"unterminated\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"Name\"=\"x\" trailing\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"Name\" \"x\"\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\n\"Name\"=text\r\n",
      "REGEDIT4\r\n[HKEY_CURRENT_USER\\A]\r\nName=\"x\"\r\n",
  };
  for (const char* text : damaged) EXPECT_FALSE(ParseRegistryFile(text)) << text;
}

TEST(RegistryFileFormat, DamagedInputNeverReadsOutsideTheText) {
  const std::string sample(kExport);
  // Truncation at every length: either a file or damaged, never a crash.
  for (std::size_t n = 0; n <= sample.size(); ++n) {
    const auto tree = ParseRegistryFile(sample.substr(0, n));
    if (tree) {
      EXPECT_TRUE(ParseRegistryFile(FormatRegistryFile(*tree))) << n;
    }
  }
  // Byte flips: whatever parses also rewrites to text that parses the same.
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string flipped = sample;
    for (int k = 0; k < 3; ++k) {
      flipped[random() % flipped.size()] = static_cast<char>(random() % 256);
    }
    const auto tree = ParseRegistryFile(flipped);
    if (!tree) continue;
    const std::string text = FormatRegistryFile(*tree);
    const auto again = ParseRegistryFile(text);
    ASSERT_TRUE(again) << flipped;
    EXPECT_EQ(FormatRegistryFile(*again), text);
  }
  // Absurd sizes: a very long line, a deep key, a hex value continued forever.
  const std::string long_value =
      "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"v\"=\"" + std::string(1 << 20, 'x') + "\"\n";
  EXPECT_EQ(ParseRegistryFile(long_value)->ReadString("HKEY_CURRENT_USER\\A", "v")->size(),
            1u << 20);
  std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER";
  for (int i = 0; i < 5000; ++i) deep += "\\k";
  EXPECT_TRUE(ParseRegistryFile(deep + "]\n"));
  std::string endless = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"h\"=hex:00,\\\n";
  for (int i = 0; i < 10000; ++i) endless += "  01,\\\n";
  const auto tree = ParseRegistryFile(endless);
  ASSERT_TRUE(tree);  // kept as written, even without its last line
  EXPECT_FALSE(tree->ReadString("HKEY_CURRENT_USER\\A", "h"));
}

}  // namespace
}  // namespace webhoard
