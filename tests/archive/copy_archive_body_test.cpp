#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <optional>
#include <string>

#include "archive/copy_archive_file.h"
#include "archive/stored_body_copy.h"
#include "cache/http/crc32.h"
#include "common/file_util.h"
#include "support/encoded_body.h"
#include "support/temp_dir.h"

namespace webhoard {
namespace {

// A body between other records of its cache file, copied into the archive
// and read for rewriting alike.
TEST(CopyArchiveBody, TakesTheSliceDecodesOrKeepsTheStoredBytes) {
  testing::TempDir dir;
  const std::string page = "<html><title>T</title>" + std::string(5000, 'x') + "</html>";
  const std::string gzip = testing::GzipOf(page);
  const std::string cut = gzip.substr(0, gzip.size() / 2);
  const struct {
    std::string encoding, stored;
    std::optional<std::uint32_t> crc;
    std::uint64_t extra_length;  // the slice runs this far past the stored bytes
    BodyCopyOutcome outcome;
    std::string archived;  // what the target holds afterwards
  } cases[] = {
      {"", page, Crc32(page), 0, BodyCopyOutcome::kDecoded, page},
      {"gzip", gzip, Crc32(gzip), 0, BodyCopyOutcome::kDecoded, page},
      {"deflate", testing::RawDeflateOf(page), std::nullopt, 0, BodyCopyOutcome::kDecoded, page},
      {"zstd", gzip, Crc32(gzip), 0, BodyCopyOutcome::kStored, gzip},
      {"gzip", cut, std::nullopt, 0, BodyCopyOutcome::kStored, cut},
      {"gzip", cut, Crc32(cut), 0, BodyCopyOutcome::kStored, cut},
      // A failed checksum or a short file fails the item; the earlier copy stays.
      {"gzip", gzip, Crc32(gzip) ^ 1, 0, BodyCopyOutcome::kFailed, "earlier"},
      {"", page, Crc32(page) ^ 1, 0, BodyCopyOutcome::kFailed, "earlier"},
      {"zstd", gzip, Crc32(gzip) ^ 1, 0, BodyCopyOutcome::kFailed, "earlier"},
      {"", page, std::nullopt, 1000, BodyCopyOutcome::kFailed, "earlier"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.encoding + " " + std::to_string(c.stored.size()));
    const std::string junk_before(37, '\x01');
    const std::string file = dir.Write("cache/f_000001", junk_before + c.stored + "NEXT RECORD");
    const StoredBody body{file, junk_before.size(), c.stored.size() + c.extra_length, c.encoding,
                          c.crc};
    const std::string target = dir.Write("archive/host/text/page.htm", "earlier");

    const BodyCopyResult copy = CopyArchiveBody(body, target);
    EXPECT_EQ(copy.outcome, c.outcome) << copy.reason;
    EXPECT_EQ(ReadFileBytes(target), c.archived);
    if (c.outcome == BodyCopyOutcome::kFailed) {
      EXPECT_NE(copy.reason.find(file), std::string::npos) << copy.reason;
    }

    std::string read;
    EXPECT_EQ(ReadStoredBody(body, read).outcome, c.outcome);
    if (c.outcome != BodyCopyOutcome::kFailed) {
      EXPECT_EQ(read, c.archived);
    }
  }
  // Nothing is left beside the copies.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("archive/host/text")),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace webhoard
