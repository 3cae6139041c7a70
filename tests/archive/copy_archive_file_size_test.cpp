// Copies of every size come out byte for byte: the kernel moves the bytes
// in chunks it chooses, so sizes around and well past any chunk boundary,
// and an empty file, must all arrive whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "archive/copy_archive_file.h"
#include "common/file_util.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

using testing::TempDir;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t state = 99;
  for (char& b : bytes) {
    state = state * 1664525u + 1013904223u;
    b = static_cast<char>(state >> 24);
  }
  return bytes;
}

TEST(CopyArchiveFileSizes, EveryByteArrivesAndNothingIsLeftBeside) {
  TempDir dir;
  for (const std::size_t size :
       {std::size_t{0}, std::size_t{1}, std::size_t{65535}, std::size_t{65536}, std::size_t{65537},
        std::size_t{3 * 1024 * 1024 + 17}}) {
    SCOPED_TRACE(size);
    const std::string bytes = Pattern(size);
    const std::string source = dir.Write("cache/f", bytes);
    const std::string target = dir.File("archive/copy.bin");
    std::filesystem::create_directories(dir.File("archive"));
    // A longer earlier copy must not leave its tail behind.
    dir.Write("archive/copy.bin", Pattern(size + 4096));
    ASSERT_TRUE(CopyArchiveFile(source, target));
    EXPECT_EQ(ReadFileBytes(target).value_or("<missing>"), bytes);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(dir.File("archive")))
      ++files;
    EXPECT_EQ(files, 1u);
  }
}

}  // namespace
}  // namespace webhoard
