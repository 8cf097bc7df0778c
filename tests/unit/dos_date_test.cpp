#include "platform/dos_date.h"

#include <gtest/gtest.h>

namespace velmaron {
namespace {

constexpr double OneMillisecond = 1.0 / 86'400'000.0;

struct Moment {
  int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

TStamp StampOf(const Moment& m) {
  return CombineDateTime(EncodeDate(m.Year, m.Month, m.Day),
                         EncodeTime(m.Hour, m.Minute, m.Second, m.Millisecond));
}

// Packed by hand from the bit layout, independent of PackDosDate.
TDosDate HandPacked(int year, int month, int day, int hour, int minute, int secondField) {
  return static_cast<TDosDate>((year - 1980) * (1u << 25) + month * (1u << 21) + day * (1u << 16) +
                               hour * (1u << 11) + minute * (1u << 5) + secondField);
}

TEST(StampToDosDate, RoundsToTheMillisecondThenHalvesSecondsDownwards) {
  struct Case {
    const char* Name;
    TStamp Value;
    TDosDate Expected;
  };
  const Case cases[] = {
      {"odd second rounds down", StampOf({2008, 11, 12, 10, 0, 3, 0}),
       HandPacked(2008, 11, 12, 10, 0, 1)},
      {"even second stays", StampOf({2008, 11, 12, 10, 0, 4, 999}),
       HandPacked(2008, 11, 12, 10, 0, 2)},
      {"just under an even second", StampOf({2008, 11, 12, 10, 0, 1, 999}) + 0.6 * OneMillisecond,
       HandPacked(2008, 11, 12, 10, 0, 1)},
      {"just under midnight carries to the next day",
       StampOf({2008, 12, 31, 23, 59, 59, 999}) + 0.6 * OneMillisecond,
       HandPacked(2009, 1, 1, 0, 0, 0)},
      {"first moment", StampOf({1980, 1, 1, 0, 0, 0, 0}), HandPacked(1980, 1, 1, 0, 0, 0)},
      {"last moment", StampOf({2107, 12, 31, 23, 59, 59, 0}), HandPacked(2107, 12, 31, 23, 59, 29)},
      {"1979", StampOf({1979, 12, 31, 23, 59, 59, 0}), 0},
      {"2108", StampOf({2108, 1, 1, 0, 0, 0, 0}), 0},
      {"no timestamp", 0.0, 0},
      {"no timestamp given", MaxStamp, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StampToDosDate(c.Value), c.Expected) << c.Name;
  }
}

TEST(DosDateToStamp, GivesTheExactMomentOfEveryField) {
  const Moment cases[] = {
      {1980, 1, 1, 0, 0, 0, 0},      {2107, 12, 31, 23, 59, 58, 0}, {2000, 2, 29, 12, 30, 30, 0},
      {2008, 11, 12, 13, 44, 54, 0}, {2024, 7, 15, 1, 2, 2, 0},
  };
  for (const Moment& m : cases) {
    const TDosDate packed = HandPacked(m.Year, m.Month, m.Day, m.Hour, m.Minute, m.Second / 2);
    EXPECT_EQ(DosDateToStamp(packed), StampOf(m)) << m.Year << "-" << m.Month << "-" << m.Day;
    EXPECT_EQ(PackDosDate(m.Year, m.Month, m.Day, m.Hour, m.Minute, m.Second), packed);
    EXPECT_EQ(StampToDosDate(DosDateToStamp(packed)), packed);
  }
}

TEST(DosDateToStamp, FieldOutOfRangeRaises) {
  struct Case {
    const char* Name;
    TDosDate Value;
  };
  const Case cases[] = {
      {"zero", 0},
      {"month 0", HandPacked(2008, 0, 12, 10, 0, 0)},
      {"month 13", HandPacked(2008, 13, 12, 10, 0, 0)},
      {"day 0", HandPacked(2008, 11, 0, 10, 0, 0)},
      {"31 November", HandPacked(2008, 11, 31, 10, 0, 0)},
      {"29 February of a common year", HandPacked(2009, 2, 29, 10, 0, 0)},
      {"hour 24", HandPacked(2008, 11, 12, 24, 0, 0)},
      {"minute 60", HandPacked(2008, 11, 12, 10, 60, 0)},
      {"second field 30", HandPacked(2008, 11, 12, 10, 0, 30)},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(DosDateToStamp(c.Value), EConvertError) << c.Name;
    EXPECT_FALSE(UnpackDosDate(c.Value).has_value()) << c.Name;
  }
}

TEST(PackDosDate, YearsOutsideTheWindowGiveZero) {
  EXPECT_EQ(PackDosDate(1979, 12, 31, 23, 59, 58), 0u);
  EXPECT_EQ(PackDosDate(2108, 1, 1, 0, 0, 0), 0u);
  EXPECT_NE(PackDosDate(1980, 1, 1, 0, 0, 0), 0u);
  EXPECT_NE(PackDosDate(2107, 12, 31, 23, 59, 58), 0u);
}

}  // namespace
}  // namespace velmaron
