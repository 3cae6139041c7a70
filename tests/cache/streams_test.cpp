#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cache/buffered_file_stream.h"
#include "cache/memory_stream.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

TExtendedMemoryStream MemoryWith(const std::string& bytes) {
  TExtendedMemoryStream stream;
  stream.Write(bytes.data(), bytes.size());
  return stream;
}

std::string Contents(const TExtendedMemoryStream& stream) {
  const auto data = stream.Data();
  return std::string(data.begin(), data.end());
}

TEST(MemoryStream, CopyAvailableCountRules) {
  const std::string source_bytes = Pattern(1000);

  // Count 0: the whole source from its start, wherever its position was.
  TExtendedMemoryStream source = MemoryWith(source_bytes);
  source.Seek(600, SeekOrigin::kBegin);
  TExtendedMemoryStream whole;
  EXPECT_EQ(whole.CopyAvailable(source, 0), 1000u);
  EXPECT_EQ(Contents(whole), source_bytes);
  EXPECT_EQ(source.Position(), 1000u);

  // More than remains: the remainder, and its count.
  source.Seek(900, SeekOrigin::kBegin);
  TExtendedMemoryStream rest;
  EXPECT_EQ(rest.CopyAvailable(source, 5000), 100u);
  EXPECT_EQ(Contents(rest), source_bytes.substr(900));

  // Less than remains: exactly that many, appended after what is there.
  source.Seek(10, SeekOrigin::kBegin);
  TExtendedMemoryStream appended = MemoryWith("head");
  appended.Seek(1, SeekOrigin::kBegin);
  EXPECT_EQ(appended.CopyAvailable(source, 20), 20u);
  EXPECT_EQ(Contents(appended), "head" + source_bytes.substr(10, 20));
  EXPECT_EQ(source.Position(), 30u);

  // Nothing left, or an empty source: nothing copied.
  source.Seek(0, SeekOrigin::kEnd);
  EXPECT_EQ(appended.CopyAvailable(source, 10), 0u);
  TExtendedMemoryStream empty;
  EXPECT_EQ(appended.CopyAvailable(empty, 0), 0u);
  EXPECT_EQ(appended.Size(), 24u);
}

TEST(MemoryStream, CopyAvailableCopiesSourcesLargerThanItsBlock) {
  const std::string source_bytes = Pattern(3 * TExtendedMemoryStream::kCopyBlockSize + 17);
  TExtendedMemoryStream source = MemoryWith(source_bytes);
  TExtendedMemoryStream target;
  EXPECT_EQ(target.CopyAvailable(source, 0), source_bytes.size());
  EXPECT_EQ(Contents(target), source_bytes);
}

TEST(MemoryStream, ReadSeekAndSize) {
  TExtendedMemoryStream stream = MemoryWith("abcdef");
  char out[8] = {};
  stream.Seek(-2, SeekOrigin::kEnd);
  EXPECT_EQ(stream.Read(out, 8), 2u);
  EXPECT_EQ(std::string(out, 2), "ef");
  EXPECT_EQ(stream.Read(out, 8), 0u);
  EXPECT_THROW(stream.Seek(-1, SeekOrigin::kBegin), StreamError);

  // Writing past the end fills the gap with zero bytes.
  stream.Seek(8, SeekOrigin::kBegin);
  stream.Write("x", 1);
  EXPECT_EQ(Contents(stream), std::string("abcdef\0\0x", 9));
  // A position left past the end by SetSize reads nothing.
  stream.SetSize(3);
  EXPECT_EQ(stream.Remaining(), 0u);
  EXPECT_EQ(stream.Read(out, 1), 0u);
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_EQ(stream.Position(), 0u);
}

TEST(BufferedFileStream, OpenFailureNamesTheFileAndTheReason) {
  testing::TempDir dir;
  const std::string missing = dir.File("archive.dat");
  try {
    TSimpleBufferFileStream stream(missing, FileOpenMode::kReadOnly);
    FAIL() << "opened a missing file";
  } catch (const StreamError& error) {
    EXPECT_EQ(error.file_name(), missing);
    EXPECT_EQ(error.reason(), "No such file or directory");
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos);
  }
  EXPECT_THROW(TSimpleBufferFileStream(missing, FileOpenMode::kReadWrite), StreamError);
}

TEST(BufferedFileStream, ReadBufferedMatchesPlainReadsAcrossRefills) {
  testing::TempDir dir;
  const std::string bytes = Pattern(3 * TSimpleBufferFileStream::kReadAheadSize + 1234);
  const std::string path = dir.Write("data.bin", bytes);
  TSimpleBufferFileStream stream(path, FileOpenMode::kReadOnly);

  // The read sizes a record reader makes: heads, lengths and short texts, so
  // that reads keep straddling the 32 KiB refills at different offsets.
  const std::size_t sizes[] = {16, 12, 37, 1, 200, 16, 12, 5, 0, 999, 3};
  std::string delivered;
  std::vector<char> chunk(1000);
  for (std::size_t i = 0;; ++i) {
    const std::size_t want = sizes[i % std::size(sizes)];
    const std::size_t got = stream.ReadBuffered(chunk.data(), want);
    ASSERT_LE(got, want);
    ASSERT_EQ(stream.ReadPosition(), delivered.size() + got);
    delivered.append(chunk.data(), got);
    if (want > 0 && got == 0) break;
    if (got < want) {
      // Only the end of the file delivers short; the next read is empty.
      EXPECT_EQ(delivered.size(), bytes.size());
      EXPECT_EQ(stream.ReadBuffered(chunk.data(), 1), 0u);
      break;
    }
  }
  EXPECT_EQ(delivered, bytes);
  EXPECT_EQ(stream.BytesRemaining(), 0u);
}

TEST(BufferedFileStream, ReadBufferedDeliversAtMostOneReadAhead) {
  testing::TempDir dir;
  const std::string bytes = Pattern(100000);
  TSimpleBufferFileStream stream(dir.Write("big.bin", bytes), FileOpenMode::kReadOnly);
  std::vector<char> out(bytes.size());
  EXPECT_EQ(stream.ReadBuffered(out.data(), 10), 10u);
  EXPECT_EQ(stream.ReadBuffered(out.data() + 10, out.size()),
            TSimpleBufferFileStream::kReadAheadSize);
  EXPECT_EQ(std::string(out.data(), 10 + TSimpleBufferFileStream::kReadAheadSize),
            bytes.substr(0, 10 + TSimpleBufferFileStream::kReadAheadSize));
  EXPECT_EQ(stream.BytesRemaining(), bytes.size() - 10 - TSimpleBufferFileStream::kReadAheadSize);
}

TEST(BufferedFileStream, ReadBufferedAtTheEnd) {
  testing::TempDir dir;
  TSimpleBufferFileStream empty(dir.Write("empty.bin", ""), FileOpenMode::kReadOnly);
  char out[64];
  EXPECT_EQ(empty.ReadBuffered(out, 16), 0u);

  TSimpleBufferFileStream stream(dir.Write("short.bin", "0123456789"), FileOpenMode::kReadOnly);
  EXPECT_EQ(stream.ReadBuffered(out, 4), 4u);
  EXPECT_EQ(stream.ReadBuffered(out, 64), 6u);
  EXPECT_EQ(std::string(out, 6), "456789");
  EXPECT_EQ(stream.ReadBuffered(out, 64), 0u);
  EXPECT_EQ(stream.ReadBuffered(out, 1), 0u);
}

TEST(BufferedFileStream, PlainWritesAndReadsActOnTheFile) {
  testing::TempDir dir;
  const std::string path = dir.File("new.bin");
  {
    TSimpleBufferFileStream stream(path, FileOpenMode::kCreate);
    stream.Write("hello world", 11);
    EXPECT_EQ(stream.Size(), 11u);
    stream.Seek(6, SeekOrigin::kBegin);
    char out[16] = {};
    EXPECT_EQ(stream.Read(out, 16), 5u);
    EXPECT_EQ(std::string(out, 5), "world");
    // A read followed by a write, then a read again, in one open file.
    stream.Seek(0, SeekOrigin::kBegin);
    stream.Write("J", 1);
    EXPECT_EQ(stream.Read(out, 4), 4u);
    EXPECT_EQ(std::string(out, 4), "ello");
    EXPECT_THROW(stream.Seek(-1, SeekOrigin::kBegin), StreamError);
  }
  TSimpleBufferFileStream reopened(path, FileOpenMode::kReadWrite);
  EXPECT_EQ(reopened.Size(), 11u);
  reopened.Seek(0, SeekOrigin::kEnd);
  reopened.Write("!", 1);
  char out[16] = {};
  reopened.Seek(0, SeekOrigin::kBegin);
  EXPECT_EQ(reopened.ReadBuffered(out, 16), 12u);
  EXPECT_EQ(std::string(out, 12), "Jello world!");
}

TEST(BufferedFileStream, WriteFailureIsReported) {
  // Every write to /dev/full fails with "No space left on device".
  TSimpleBufferFileStream full("/dev/full", FileOpenMode::kReadWrite);
  try {
    full.Write("abc", 3);
    FAIL() << "a failed write passed as written";
  } catch (const StreamError& error) {
    EXPECT_EQ(error.file_name(), "/dev/full");
    EXPECT_EQ(error.reason(), "No space left on device");
  }
}

}  // namespace
}  // namespace webhoard
