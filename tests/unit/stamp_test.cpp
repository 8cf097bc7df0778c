#include "platform/stamp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmaron {
namespace {

constexpr double OneMillisecond = 1.0 / 86'400'000.0;

struct CalendarDate {
  int Year, Month, Day;
};

// An oracle of its own for the walk over all days: the Gregorian leap rule.
int DaysInMonth(int year, int month) {
  static constexpr int Lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : Lengths[month - 1];
}

TEST(EncodeDate, AnchorDays) {
  struct Case {
    CalendarDate Date;
    TStamp Expected;
  };
  const Case cases[] = {
      {{1899, 12, 30}, 0},        {{1899, 12, 31}, 1},      {{1900, 1, 1}, 2},
      {{1899, 12, 29}, -1},       {{1, 1, 1}, -693593},     {{9999, 12, 31}, MaxStamp},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day), c.Expected)
        << c.Date.Year << "-" << c.Date.Month << "-" << c.Date.Day;
  }
}

TEST(EncodeDate, EveryDayFromYear1To9999IsConsecutiveAndDecodesBack) {
  TStamp previous = EncodeDate(1, 1, 1) - 1;
  int weekday = 2;  // 1 January of year 1 (proleptic Gregorian) was a Monday
  for (int year = 1; year <= 9999; ++year) {
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= DaysInMonth(year, month); ++day) {
        const TStamp stamp = EncodeDate(year, month, day);
        ASSERT_EQ(stamp, previous + 1) << year << "-" << month << "-" << day;
        const TStampFields f = DecodeStamp(stamp);
        ASSERT_TRUE(f.Year == year && f.Month == month && f.Day == day && f.Hour == 0)
            << year << "-" << month << "-" << day << " decoded as " << f.Year << "-" << f.Month
            << "-" << f.Day;
        ASSERT_EQ(f.DayOfWeek, weekday) << year << "-" << month << "-" << day;
        weekday = weekday % 7 + 1;
        previous = stamp;
      }
    }
  }
}

TEST(EncodeDate, ImpossibleDatesRaise) {
  const CalendarDate cases[] = {
      {1900, 2, 29}, {2100, 2, 29}, {2023, 2, 29}, {2023, 4, 31}, {2023, 1, 32},
      {2023, 1, 0},  {2023, 0, 1},  {2023, 13, 1}, {0, 1, 1},     {10000, 1, 1},
      {-1, 1, 1},    {2023, -1, 1}, {2023, 1, -1},
  };
  for (const CalendarDate& c : cases) {
    EXPECT_THROW(EncodeDate(c.Year, c.Month, c.Day), EConvertError)
        << c.Year << "-" << c.Month << "-" << c.Day;
  }
}

struct ClockTime {
  int Hour, Minute, Second, Millisecond;
};

TEST(EncodeTime, ImpossibleTimesRaise) {
  const ClockTime cases[] = {
      {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000},
      {-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1},
  };
  for (const ClockTime& c : cases) {
    EXPECT_THROW(EncodeTime(c.Hour, c.Minute, c.Second, c.Millisecond), EConvertError)
        << c.Hour << ":" << c.Minute << ":" << c.Second << "." << c.Millisecond;
  }
}

TEST(EncodeTime, IsTheFractionOfTheDay) {
  EXPECT_EQ(EncodeTime(0, 0, 0, 0), 0.0);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_EQ(EncodeTime(12, 0, 0, 0), 0.5);
  EXPECT_NEAR(EncodeTime(23, 59, 59, 999), 1.0 - OneMillisecond, OneMillisecond / 100);
}

// Each moment is decoded on both sides of 1899, where the time runs the other
// way along the number line.
TEST(DecodeStamp, SplitsDateAndTimeOnBothSidesOfDayZero) {
  struct Case {
    CalendarDate Date;
    ClockTime Time;
  };
  const Case cases[] = {
      {{2008, 11, 12}, {13, 44, 55, 0}},  {{1899, 12, 30}, {6, 0, 0, 0}},
      {{1899, 12, 29}, {6, 0, 0, 0}},     {{1850, 7, 4}, {23, 59, 59, 999}},
      {{1, 1, 1}, {0, 0, 0, 1}},          {{9999, 12, 31}, {23, 59, 59, 999}},
      {{1600, 2, 29}, {12, 30, 15, 500}},
  };
  for (const Case& c : cases) {
    const TStamp stamp = CombineDateTime(EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day),
                                         EncodeTime(c.Time.Hour, c.Time.Minute, c.Time.Second,
                                                    c.Time.Millisecond));
    const TStampFields f = DecodeStamp(stamp);
    EXPECT_TRUE(f.Year == c.Date.Year && f.Month == c.Date.Month && f.Day == c.Date.Day &&
                f.Hour == c.Time.Hour && f.Minute == c.Time.Minute &&
                f.Second == c.Time.Second && f.Millisecond == c.Time.Millisecond)
        << "stamp " << stamp << " decoded as " << f.Year << "-" << f.Month << "-" << f.Day << " "
        << f.Hour << ":" << f.Minute << ":" << f.Second << "." << f.Millisecond;
  }
}

TEST(DecodeStamp, NegativeStampCountsTimeForwardFromDayStart) {
  const TStampFields f = DecodeStamp(-1.25);
  EXPECT_EQ(f.Year, 1899);
  EXPECT_EQ(f.Month, 12);
  EXPECT_EQ(f.Day, 29);
  EXPECT_EQ(f.Hour, 6);
  EXPECT_EQ(f.DayOfWeek, 6);  // a Friday
}

// Rounding to the millisecond may carry into the next day, month or year; on
// negative days the next day lies towards zero.
TEST(RoundToMillisecond, CarriesIntoTheNextDay) {
  struct Case {
    CalendarDate Date;
    double TimeOfDay;
    CalendarDate ExpectedDate;
    ClockTime ExpectedTime;
  };
  const double almostMidnight = 1.0 - 0.4 * OneMillisecond;
  const double justAfterMidnight = 0.4 * OneMillisecond;
  const double almostTwoMs = 1.6 * OneMillisecond;
  const Case cases[] = {
      {{2008, 11, 12}, almostMidnight, {2008, 11, 13}, {0, 0, 0, 0}},
      {{2008, 12, 31}, almostMidnight, {2009, 1, 1}, {0, 0, 0, 0}},
      {{1899, 12, 29}, almostMidnight, {1899, 12, 30}, {0, 0, 0, 0}},
      {{1850, 12, 31}, almostMidnight, {1851, 1, 1}, {0, 0, 0, 0}},
      {{1850, 6, 1}, justAfterMidnight, {1850, 6, 1}, {0, 0, 0, 0}},
      {{2008, 6, 1}, justAfterMidnight, {2008, 6, 1}, {0, 0, 0, 0}},
      {{1850, 6, 1}, almostTwoMs, {1850, 6, 1}, {0, 0, 0, 2}},
      {{2008, 6, 1}, almostTwoMs, {2008, 6, 1}, {0, 0, 0, 2}},
  };
  for (const Case& c : cases) {
    const TStamp date = EncodeDate(c.Date.Year, c.Date.Month, c.Date.Day);
    const TStamp moment = CombineDateTime(date, c.TimeOfDay);
    const TStamp expected = CombineDateTime(
        EncodeDate(c.ExpectedDate.Year, c.ExpectedDate.Month, c.ExpectedDate.Day),
        EncodeTime(c.ExpectedTime.Hour, c.ExpectedTime.Minute, c.ExpectedTime.Second,
                   c.ExpectedTime.Millisecond));
    EXPECT_NEAR(RoundToMillisecond(moment), expected, OneMillisecond / 100)
        << c.Date.Year << "-" << c.Date.Month << "-" << c.Date.Day << " + " << c.TimeOfDay;
    const TStampFields f = DecodeStamp(moment);
    EXPECT_TRUE(f.Year == c.ExpectedDate.Year && f.Month == c.ExpectedDate.Month &&
                f.Day == c.ExpectedDate.Day && f.Hour == c.ExpectedTime.Hour &&
                f.Minute == c.ExpectedTime.Minute && f.Second == c.ExpectedTime.Second &&
                f.Millisecond == c.ExpectedTime.Millisecond)
        << c.Date.Year << "-" << c.Date.Month << "-" << c.Date.Day << " + " << c.TimeOfDay
        << " decoded as " << f.Year << "-" << f.Month << "-" << f.Day << " " << f.Hour << ":"
        << f.Minute << ":" << f.Second << "." << f.Millisecond;
  }
}

TEST(DecodeStamp, ValuesWithoutADateRaise) {
  const double cases[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(), -1e300, 1e300};
  for (double value : cases) {
    EXPECT_THROW(DecodeStamp(value), EConvertError) << value;
  }
}

}  // namespace
}  // namespace velmaron
