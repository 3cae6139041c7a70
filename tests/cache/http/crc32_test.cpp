#include "cache/http/crc32.h"

#include <gtest/gtest.h>

namespace webhoard {
namespace {

TEST(Crc32, MatchesZlibAndContinuesAcrossPieces) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("123456789"), 0xcbf43926u);  // the published check value
  EXPECT_EQ(Crc32("56789", Crc32("1234")), 0xcbf43926u);
}

}  // namespace
}  // namespace webhoard
