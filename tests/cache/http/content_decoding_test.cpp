#include "cache/http/content_decoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "cache/http/crc32.h"
#include "support/encoded_body.h"
#include "support/temp_dir.h"

#if WEBHOARD_TEST_BROTLI
#include <brotli/encode.h>
#endif

namespace webhoard {
namespace {

using testing::GzipOf;
using testing::RawDeflateOf;
using testing::ZlibDeflateOf;

// Text that compresses, long enough to cross the decoder's chunks.
std::string LongText() {
  std::string text;
  for (int i = 0; text.size() < 200'000; ++i)
    text += "<p>line " + std::to_string(i * 7919) + "</p>\n";
  return text;
}

std::string BrotliOf(std::string_view bytes) {
#if WEBHOARD_TEST_BROTLI
  std::string out(BrotliEncoderMaxCompressedSize(bytes.size()), '\0');
  std::size_t size = out.size();
  EXPECT_TRUE(BrotliEncoderCompress(5, BROTLI_DEFAULT_WINDOW, BROTLI_MODE_TEXT, bytes.size(),
                                    reinterpret_cast<const std::uint8_t*>(bytes.data()), &size,
                                    reinterpret_cast<std::uint8_t*>(out.data())));
  out.resize(size);
  return out;
#else
  return std::string(bytes);  // not decoded in this build anyway
#endif
}

std::string Cut(std::string bytes) {
  return bytes.substr(0, bytes.size() / 2);
}

std::string Damaged(std::string bytes) {
  for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 8; ++i) bytes[i] ^= 0x55;
  return bytes;
}

DecodeResult Decode(std::string_view encoding, std::string_view stored, std::string& out,
                    std::uint64_t max = 1ull << 30) {
  StringSource source(stored);
  StringSink sink(out);
  return DecodeBody(encoding, source, sink, max);
}

TEST(ContentDecoding, EachEncodingOverKnownBytes) {
  const std::string text = LongText();
  const std::string small = "<html>hello</html>";
  const std::string zeros(3 << 20, '\0');
  const bool br = CanDecode("br");
  const struct {
    std::string encoding, stored;
    DecodeStatus status;
    std::string decoded;  // checked when decoded
  } cases[] = {
      {"", small, DecodeStatus::kDecoded, small},
      {"identity", text, DecodeStatus::kDecoded, text},
      {"gzip", GzipOf(text), DecodeStatus::kDecoded, text},
      {"x-gzip", GzipOf(small), DecodeStatus::kDecoded, small},
      {"gzip", GzipOf(small) + GzipOf(text), DecodeStatus::kDecoded, small + text},
      {"gzip", GzipOf(zeros), DecodeStatus::kDecoded, zeros},  // the last input unfolds most
      {"deflate", ZlibDeflateOf(zeros), DecodeStatus::kDecoded, zeros},
      {"br", BrotliOf(zeros), br ? DecodeStatus::kDecoded : DecodeStatus::kUnsupported, zeros},
      {"gzip", GzipOf(small) + std::string(3, '\0'), DecodeStatus::kDecoded, small},
      {"gzip", "", DecodeStatus::kDecoded, ""},
      {"deflate", ZlibDeflateOf(text), DecodeStatus::kDecoded, text},
      {"deflate", RawDeflateOf(text), DecodeStatus::kDecoded, text},
      {"deflate", RawDeflateOf(small), DecodeStatus::kDecoded, small},
      {"br", BrotliOf(text), br ? DecodeStatus::kDecoded : DecodeStatus::kUnsupported, text},
      // Damaged and cut short.
      {"gzip", Cut(GzipOf(text)), DecodeStatus::kCorrupt, ""},
      {"gzip", Damaged(GzipOf(text)), DecodeStatus::kCorrupt, ""},
      {"gzip", small, DecodeStatus::kCorrupt, ""},
      {"deflate", Cut(ZlibDeflateOf(text)), DecodeStatus::kCorrupt, ""},
      {"deflate", Damaged(ZlibDeflateOf(text)), DecodeStatus::kCorrupt, ""},
      {"br", Cut(BrotliOf(text)), br ? DecodeStatus::kCorrupt : DecodeStatus::kUnsupported, ""},
      {"br", small, br ? DecodeStatus::kCorrupt : DecodeStatus::kUnsupported, ""},
      // Encodings not decoded: the caller keeps the stored bytes.
      {"zstd", small, DecodeStatus::kUnsupported, ""},
      {"compress", small, DecodeStatus::kUnsupported, ""},
      {"gzip, br", GzipOf(small), DecodeStatus::kUnsupported, ""},
  };
  for (const auto& c : cases) {
    std::string out;
    const DecodeResult result = Decode(c.encoding, c.stored, out);
    EXPECT_EQ(result.status, c.status) << c.encoding << " " << c.stored.size();
    EXPECT_EQ(result.decoded_bytes, out.size());
    if (c.status == DecodeStatus::kDecoded) {
      EXPECT_EQ(out, c.decoded) << c.encoding;
    }
  }
}

TEST(ContentDecoding, DecompressionBombsStopAtTheLimit) {
  const std::string zeros(4 << 20, '\0');
  const std::string bomb = GzipOf(zeros);  // about 4 KiB
  std::string out;
  const DecodeResult result = Decode("gzip", bomb, out, 1 << 20);
  EXPECT_EQ(result.status, DecodeStatus::kTooLarge);
  EXPECT_LE(out.size(), 1u << 20);
  // Ordinary ratios and small bodies pass; nothing unfolds past 4 GiB, but
  // a body stored as is is never cut.
  EXPECT_GE(DecodedSizeLimit(bomb.size()), zeros.size());
  EXPECT_EQ(DecodedSizeLimit(10 << 20), 640ull << 20);
  EXPECT_EQ(DecodedSizeLimit(1ull << 30), 4ull << 30);
  EXPECT_EQ(DecodedSizeLimit(5ull << 30), 5ull << 30);
  out.clear();
  EXPECT_EQ(Decode("", "abcdef", out, 5).status, DecodeStatus::kTooLarge);
}

TEST(ContentDecoding, FileSliceBetweenOtherBytes) {
  testing::TempDir dir;
  const std::string body = GzipOf(LongText());
  const std::string path = dir.Write("entry", "header junk" + body + "trailing record");
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  ASSERT_TRUE(file);
  const std::string out_path = dir.File("decoded");
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(out_path.c_str(), "wb"),
                                                        std::fclose);
    FileSliceSource source(file.get(), 11, body.size());
    FileSink sink(out.get());
    EXPECT_EQ(DecodeBody("gzip", source, sink, 1ull << 30).status, DecodeStatus::kDecoded);
    EXPECT_EQ(source.crc32(), Crc32(body));
    // Again, read as stored: the same bytes and checksum.
    ASSERT_TRUE(source.Rewind());
    std::string stored;
    StringSink copy(stored);
    EXPECT_EQ(DecodeBody("", source, copy, 1ull << 30).status, DecodeStatus::kDecoded);
    EXPECT_EQ(stored, body);
    EXPECT_EQ(source.crc32(), Crc32(body));
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> decoded(std::fopen(out_path.c_str(), "rb"),
                                                          std::fclose);
  std::string text(LongText().size() + 1, '\0');
  EXPECT_EQ(std::fread(text.data(), 1, text.size(), decoded.get()), LongText().size());
  text.pop_back();
  EXPECT_EQ(text, LongText());

  // A slice that runs past the end of its file is no shorter body.
  FileSliceSource past_end(file.get(), 11, body.size() + 100);
  std::string ignored;
  StringSink sink(ignored);
  EXPECT_EQ(DecodeBody("", past_end, sink, 1ull << 30).status, DecodeStatus::kReadFailed);
}

}  // namespace
}  // namespace webhoard
