#include "index/image_size.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"
#include "test_images.h"

namespace webhoard {
namespace {

using testing::FramePayload;
using testing::JpegSegment;
using testing::MakeGif;
using testing::MakeJfif;
using testing::MakeJfifOfSize;
using testing::TempDir;

bool SizeOf(const std::string& bytes, ImageDimensions& size) {
  return GetImageSizeOfBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(),
                             size);
}

TEST(ThumbnailSize, FollowsTheAreaAndLongSideRules) {
  struct Case {
    int w, h, tw, th;
  };
  const Case cases[] = {
      {50, 50, 50, 50},   {100, 50, 100, 50},  {101, 50, 100, 49}, {120, 90, 81, 61},
      {640, 480, 81, 61}, {1024, 768, 81, 61}, {70, 72, 69, 71},   {300, 20, 150, 10},
      {1000, 10, 150, 1}, {5000, 1, 150, 0},   {0, 0, 0, 0},       {1, 70000, 0, 150},
  };
  for (const Case& c : cases) {
    const ImageDimensions thumb = ThumbnailOf({c.w, c.h});
    EXPECT_EQ(thumb.width, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(thumb.height, c.th) << c.w << "x" << c.h;
  }
}

TEST(ThumbnailSize, PicturesOfMoreThanTwoBillionPixelsDoNotOverflow) {
  // 65535 x 65535 is the largest size either header can state.
  const ImageDimensions thumb = ThumbnailOf({65535, 65535});
  EXPECT_EQ(thumb.width, 70);
  EXPECT_EQ(thumb.height, 70);
  const ImageDimensions wide = ThumbnailOf({65535, 40000});
  EXPECT_GT(wide.width, wide.height);
  EXPECT_GT(wide.height, 0);
}

TEST(ImageSize, ReadsGifScreenSizeWhateverTheVersion) {
  ImageDimensions a, b, c;
  ASSERT_TRUE(SizeOf(MakeGif(640, 480, "87a"), a));
  ASSERT_TRUE(SizeOf(MakeGif(640, 480, "89a"), b));
  EXPECT_EQ(a.width, 640);
  EXPECT_EQ(a.height, 480);
  EXPECT_EQ(b.width, a.width);
  EXPECT_EQ(b.height, a.height);
  // Only "GIF" and bytes 6-9 count.
  ASSERT_TRUE(SizeOf(std::string("GIFxyz\x10\x01\x20\x02zz", 12), c));
  EXPECT_EQ(c.width, 0x110);
  EXPECT_EQ(c.height, 0x220);
}

TEST(ImageSize, WalksJfifSegmentsToTheFrameHeader) {
  for (const int marker : {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC8, 0xCB, 0xCD, 0xCF}) {
    ImageDimensions size;
    ASSERT_TRUE(SizeOf(MakeJfifOfSize(1024, 768, static_cast<std::uint8_t>(marker)), size))
        << marker;
    EXPECT_EQ(size.width, 1024);
    EXPECT_EQ(size.height, 768);
  }
  // Further APPn segments and a comment before the frame are skipped.
  ImageDimensions size;
  ASSERT_TRUE(
      SizeOf(MakeJfif({JpegSegment(0xE1, std::string(300, 'x')), JpegSegment(0xFE, "made by hand"),
                       JpegSegment(0xC2, FramePayload(3, 65535))}),
             size));
  EXPECT_EQ(size.width, 3);
  EXPECT_EQ(size.height, 65535);
}

TEST(ImageSize, RefusesOtherFormatsAndMarkers) {
  ImageDimensions size;
  // DHT (C4) and arithmetic tables (CC) are no frame header: the walk goes
  // past them to the end and fails.
  EXPECT_FALSE(SizeOf(MakeJfif({JpegSegment(0xC4, FramePayload(10, 10))}), size));
  EXPECT_FALSE(SizeOf(MakeJfif({JpegSegment(0xCC, FramePayload(10, 10))}), size));
  // A camera file: APP1 first, although a frame header follows.
  std::string exif = MakeJfifOfSize(10, 10);
  exif[3] = '\xE1';
  EXPECT_FALSE(SizeOf(exif, size));
  EXPECT_FALSE(SizeOf("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", size));
  EXPECT_FALSE(SizeOf("BM\x36\0\0\0\0\0\0\0\x36\0\0\0", size));
  EXPECT_FALSE(SizeOf("GIF89a\x10\0\x10", size));  // 10 bytes
  EXPECT_EQ(size.width, 0);
  EXPECT_EQ(size.height, 0);
}

TEST(ImageSize, DamagedJpegLengthsEndTheWalk) {
  ImageDimensions size;
  // An APP0 length that points back before the start of the file.
  std::string backwards = MakeJfifOfSize(10, 10);
  backwards[4] = 0;
  backwards[5] = 0;
  EXPECT_FALSE(SizeOf(backwards, size));
  // An APP0 length of exactly 7: no move, the walk reads the same bytes.
  std::string zero = MakeJfifOfSize(10, 10);
  zero[4] = 0;
  zero[5] = 7;
  EXPECT_FALSE(SizeOf(zero, size));
  // A segment length below 10 would step back or stand still: refused.
  for (int length : {0, 1, 9}) {
    std::string short_segment =
        MakeJfif({JpegSegment(0xDB, "abcdefgh"), JpegSegment(0xC0, FramePayload(5, 5))});
    short_segment[20 + 2] = 0;
    short_segment[20 + 3] = static_cast<char>(length);
    EXPECT_FALSE(SizeOf(short_segment, size)) << length;
  }
  // A length far past the end of the file.
  std::string past_end = MakeJfifOfSize(10, 10);
  past_end[20 + 2] = '\xFF';
  past_end[20 + 3] = '\xFF';
  EXPECT_FALSE(SizeOf(past_end, size));
}

TEST(ImageSize, EveryTruncationAndByteFlipIsHandled) {
  const std::string files[] = {MakeJfifOfSize(640, 480), MakeGif(20, 10)};
  for (const std::string& file : files) {
    ImageDimensions size;
    for (std::size_t length = 0; length <= file.size(); ++length) {
      SizeOf(file.substr(0, length), size);
    }
    for (std::size_t at = 0; at < file.size(); ++at) {
      for (const int flip : {0x01, 0x80, 0xFF}) {
        std::string damaged = file;
        damaged[at] = static_cast<char>(damaged[at] ^ flip);
        if (SizeOf(damaged, size)) {
          EXPECT_GE(size.width, 0);
          EXPECT_GE(size.height, 0);
        }
      }
    }
  }
  // A frame header cut short of its size bytes is no frame header.
  ImageDimensions size;
  const std::string whole = MakeJfifOfSize(640, 480);
  const std::size_t frame = whole.find("\xFF\xC0");
  EXPECT_FALSE(SizeOf(whole.substr(0, frame + 8), size));
  EXPECT_TRUE(SizeOf(whole.substr(0, frame + 9), size));
}

TEST(ImageSize, FilesOnDiskGiveTheSameAnswers) {
  TempDir dir;
  std::int32_t tw = -1, th = -1, fw = -1, fh = -1;
  EXPECT_TRUE(GetThumbnailSize(dir.Write("a.jpg", MakeJfifOfSize(640, 480)), tw, th, fw, fh));
  EXPECT_EQ(tw, 81);
  EXPECT_EQ(th, 61);
  EXPECT_EQ(fw, 640);
  EXPECT_EQ(fh, 480);
  EXPECT_TRUE(GetImageSize(dir.Write("b.gif", MakeGif(33, 44)), fw, fh));
  EXPECT_EQ(fw, 33);
  EXPECT_EQ(fh, 44);

  tw = th = -1;
  EXPECT_FALSE(GetThumbnailSize(dir.File("missing.gif"), tw, th, fw, fh));
  EXPECT_EQ(fw, 0);
  EXPECT_EQ(tw, -1);                                           // left as it was
  EXPECT_FALSE(GetThumbnailSize(dir.path(), tw, th, fw, fh));  // a folder
  std::string backwards = MakeJfifOfSize(10, 10);
  backwards[5] = 0;
  backwards[4] = 0;
  EXPECT_FALSE(GetImageSize(dir.Write("c.jpg", backwards), fw, fh));
  std::string past_end = MakeJfifOfSize(10, 10);
  past_end[22] = '\xFF';
  EXPECT_FALSE(GetImageSize(dir.Write("d.jpg", past_end), fw, fh));
}

}  // namespace
}  // namespace webhoard
