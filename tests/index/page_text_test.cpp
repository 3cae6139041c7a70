#include "index/page_text.h"

#include <gtest/gtest.h>

#include "common/html_escape.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

TEST(PageText, DropsTagsAndTitleAndShrinksBlanks) {
  EXPECT_EQ(ExtractPageTextOf("<html><head><title>T</title></head><body>  Hello   world "
                              "</body></html>"),
            "Hello world ");
  EXPECT_EQ(ExtractPageTextOf("\r\n\t a<b>b</b>\tc"), "a b c");
  // A tag stands for a space between words.
  EXPECT_EQ(ExtractPageTextOf("one<br>two"), "one two");
  // "<TITLE ...>" in any case; the skipped text ends at the next tag.
  EXPECT_EQ(ExtractPageTextOf("<TiTlE lang=en>Secret</TITLE>shown"), "shown");
  EXPECT_EQ(ExtractPageTextOf("<title>never closed"), "");
  EXPECT_EQ(ExtractPageTextOf(""), "");
  // A tag cut off by the end of the file ends there.
  EXPECT_EQ(ExtractPageTextOf("text <b"), "text ");
}

TEST(PageText, SkipsCommentsAndReadsAnUnclosedOneAsATag) {
  EXPECT_EQ(ExtractPageTextOf("a<!-- <b> x > -->b"), "a b");
  EXPECT_EQ(ExtractPageTextOf("a<!-->b"), "a b");
  // Without "-->" the comment ends at its first ">" and comments stop being
  // comments for the rest of the page.
  EXPECT_EQ(ExtractPageTextOf("a<!-- x > b <!-- y > c"), "a b c");
  // "<!-" is no comment.
  EXPECT_EQ(ExtractPageTextOf("a<!- x -->b"), "a b");
}

TEST(PageText, StopsAt192Characters) {
  std::string plain;
  for (int i = 0; i < 300; ++i) plain += static_cast<char>('a' + i % 26);
  EXPECT_EQ(ExtractPageTextOf(plain), plain.substr(0, 192));
  std::string spaced;
  for (int i = 0; i < 300; ++i) spaced += "x  ";
  const std::string text = ExtractPageTextOf(spaced);
  EXPECT_EQ(text.size(), 192u);
  EXPECT_EQ(text.substr(0, 6), "x x x ");
  // A tag met with a full excerpt adds nothing.
  EXPECT_EQ(ExtractPageTextOf(plain.substr(0, 192) + "<b>more"), plain.substr(0, 192));
  EXPECT_EQ(ExtractPageTextOf(plain.substr(0, 191) + "<b>more"), plain.substr(0, 191) + " ");
}

TEST(PageText, ReadsFilesInBlocksAndComesBackForUnclosedComments) {
  testing::TempDir dir;
  EXPECT_FALSE(ExtractPageText(dir.File("missing.htm")).has_value());
  // The unclosed comment runs over several read blocks before the reader
  // goes back to just after "<!--".
  const std::string page = "<p>start<!-- " + std::string(20000, 'z') + " > after";
  EXPECT_EQ(ExtractPageText(dir.Write("a.htm", page)), ExtractPageTextOf(page));
  EXPECT_EQ(ExtractPageTextOf(page), "start after");
  const std::string big = "<title>t</title>" + std::string(100000, 'q');
  EXPECT_EQ(ExtractPageText(dir.Write("b.htm", big)), std::string(192, 'q'));
}

TEST(HtmlEscape, LeavesPlainValuesAloneAndNeutralisesMarkup) {
  const std::string plain = "Plain title, with words & 100% (ok)";
  EXPECT_EQ(EscapeText(plain), plain);
  EXPECT_EQ(EscapeText("<script>x</script>"), "&lt;script&gt;x&lt;/script&gt;");
  EXPECT_EQ(EscapeUnquotedAttribute("http://a.com/q?x=1&y=2"), "http://a.com/q?x=1&#38;y=2");
  EXPECT_EQ(EscapeUnquotedAttribute("http://a.com/x y>"), "http://a.com/x&#32;y&#62;");
  EXPECT_EQ(EscapeUnquotedAttribute("http://a.com/a/b.html"), "http://a.com/a/b.html");
  EXPECT_EQ(EscapeQuotedAttribute("a\"b&c"), "a&quot;b&amp;c");
  EXPECT_EQ(EscapeScriptInAttribute("http://a/';alert(1);'"), "http://a/\\x27;alert(1);\\x27");
  EXPECT_EQ(EscapeScriptInAttribute("http://a/b.gif"), "http://a/b.gif");
  EXPECT_EQ(EncodeLinkComponent("index(1).htm"), "index(1).htm");
  EXPECT_EQ(EncodeLinkComponent("a b#c?%\xE9"), "a%20b%23c%3F%25%E9");
}

}  // namespace
}  // namespace webhoard
