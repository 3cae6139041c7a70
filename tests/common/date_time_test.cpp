#include "common/date_time.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/clock.h"
#include "support/environment.h"

namespace webhoard {
namespace {

TEST(DateTime, KnownDaysMatchTheCatalogueEpoch) {
  EXPECT_EQ(EncodeDateTime({1899, 12, 30}).value(), 0.0);
  EXPECT_EQ(EncodeDateTime({1970, 1, 1}).value(), kUnixEpochDate);
  EXPECT_EQ(EncodeDateTime({2000, 1, 1}).value(), 36526.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0}).value(), 36526.5);
  EXPECT_EQ(EncodeDateTime({1899, 12, 29}).value(), -1.0);
}

TEST(DateTime, RejectsImpossibleFields) {
  EXPECT_FALSE(EncodeDateTime({1999, 2, 29}));
  EXPECT_TRUE(EncodeDateTime({2000, 2, 29}));
  EXPECT_FALSE(EncodeDateTime({1900, 2, 29}));
  EXPECT_FALSE(EncodeDateTime({2001, 13, 1}));
  EXPECT_FALSE(EncodeDateTime({2001, 1, 1, 24, 0, 0}));
  EXPECT_FALSE(EncodeDateTime({0, 1, 1}));
}

TEST(DateTime, DecodeInvertsEncodeAcrossCenturies) {
  for (int year : {1601, 1899, 1900, 1970, 1999, 2000, 2038, 2100, 9999}) {
    for (int month : {1, 2, 12}) {
      const DateTimeParts in{year, month, month == 2 ? 28 : 31, 23, 59, 58};
      const DateTimeParts out = DecodeDateTime(EncodeDateTime(in).value());
      EXPECT_EQ(out.year, in.year);
      EXPECT_EQ(out.month, in.month);
      EXPECT_EQ(out.day, in.day);
      EXPECT_EQ(out.hour, 23);
      EXPECT_EQ(out.minute, 59);
      EXPECT_EQ(out.second, 58);
    }
  }
}

TEST(DateTime, DecodeSurvivesGarbage) {
  for (double garbage : {1e300, -1e300, 0.0 / 0.0, -700000.0}) {
    const DateTimeParts p = DecodeDateTime(garbage);
    EXPECT_GE(p.year, 1);
  }
  EXPECT_EQ(FormatDateTime(EncodeDateTime({2026, 12, 8, 15, 4, 5}).value()), "2026-12-08 15:04:05");
}

TEST(DateTime, UnixTimesConvertThroughLocalTime) {
  testing::SetEnvironment("TZ", "UTC");
  ::tzset();
  EXPECT_DOUBLE_EQ(DateTimeFromUnixLocal(0), kUnixEpochDate);
  EXPECT_DOUBLE_EQ(DateTimeFromUnixLocal(86400 + 6 * 3600), kUnixEpochDate + 1.25);
  EXPECT_EQ(UnixFromDateTimeLocal(kUnixEpochDate + 1.25), 86400 + 6 * 3600);
}

TEST(Clock, FixedClockOverridesAndRestores) {
  {
    ScopedFixedClock fixed(40000.5);
    EXPECT_EQ(Now(), 40000.5);
  }
  EXPECT_GT(Now(), 46000.0);  // any real "now" is past 2025
}

}  // namespace
}  // namespace webhoard
