#include "stamp.h"

#include <gtest/gtest.h>

namespace {

TEST(TwoDigits, PadsBelowTenAndNeverTruncates) {
  const std::pair<std::uint16_t, const char*> cases[] = {
      {0, "00"}, {7, "07"}, {9, "09"}, {10, "10"}, {59, "59"}, {100, "100"}, {65535, "65535"},
  };
  for (const auto& [n, text] : cases) EXPECT_EQ(TwoDigits(n), text) << n;
}

struct StampCase {
  platform::ClockReading clock;
  bool with_seconds;
  const char* stamp;
};

TEST(MakeStamp, FormatsOneClockReading) {
  const StampCase cases[] = {
      {{2009, 3, 7, 5, 4, 9, 0}, false, "09_03_07__05_04"},
      {{2009, 3, 7, 5, 4, 9, 0}, true, "09_03_07__05_04_09"},
      {{2000, 1, 1, 0, 0, 0, 0}, false, "00_01_01__00_00"},
      {{2099, 12, 31, 23, 59, 59, 0}, true, "99_12_31__23_59_59"},
      {{2100, 1, 1, 0, 0, 0, 0}, false, "100_01_01__00_00"},
      {{1999, 12, 31, 23, 59, 0, 0}, false, "65535_12_31__23_59"},
      {{2026, 12, 11, 6, 30, 59, 999}, true, "26_12_11__06_30_59"},  // never rounded up
  };
  for (const StampCase& c : cases) EXPECT_EQ(MakeStamp(c.clock, c.with_seconds), c.stamp);
}

TEST(MakeStamp, IsFifteenOrEighteenCharactersThisCentury) {
  const platform::ClockReading clock{2042, 10, 20, 13, 14, 15, 16};
  EXPECT_EQ(MakeStamp(clock, false).size(), 15u);
  EXPECT_EQ(MakeStamp(clock, true).size(), 18u);
}

}  // namespace
