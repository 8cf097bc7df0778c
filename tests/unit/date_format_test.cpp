#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "front/run_program.h"
#include "platform/date_format.h"

namespace velmaron {
namespace {

struct Moment {
  int Year, Month, Day, Hour, Minute, Second, Millisecond;
};

TStamp StampOf(const Moment& m) {
  return CombineDateTime(EncodeDate(m.Year, m.Month, m.Day),
                         EncodeTime(m.Hour, m.Minute, m.Second, m.Millisecond));
}

TFormatSettings Settings(const char* dateSeparator, const char* shortDateFormat,
                         const char* longTimeFormat, const char* timeSeparator = ":") {
  TFormatSettings s;
  s.DateSeparator = dateSeparator;
  s.ShortDateFormat = shortDateFormat;
  s.LongTimeFormat = longTimeFormat;
  s.TimeSeparator = timeSeparator;
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  return s;
}

// A Sunday, early in the morning, with every field distinct.
const Moment Sunday{2008, 11, 2, 3, 4, 5, 6};
const Moment Afternoon{2008, 11, 12, 13, 44, 55, 0};
const Moment Midnight{2008, 11, 12, 0, 0, 0, 0};
const Moment Noon{2008, 11, 12, 12, 0, 0, 0};
const Moment EarlyYear{5, 3, 7, 0, 0, 0, 0};

TEST(FormatPicture, FieldsOfThePicture) {
  struct Case {
    const char* Picture;
    Moment At;
    const char* Expected;
  };
  const Case cases[] = {
      {"d/m/yy", Sunday, "2.11.08"},
      {"dd/mm/yyyy", Sunday, "02.11.2008"},
      {"DD/MM/YYYY", Sunday, "02.11.2008"},
      {"y yy yyy yyyyy", EarlyYear, "05 05 0005 0005"},
      {"mmm mmmm mmmmmm", Sunday, "Nov November November"},
      {"ddd dddd dddddd", Sunday, "Sun Sunday Sunday"},
      // Runs break where the case changes: two one-letter day fields.
      {"Dd", Sunday, "22"},
      {"h:m:s", Sunday, "3:4:5"},
      {"hh:mm:ss", Sunday, "03:04:05"},
      {"HH:MM:SS", Sunday, "03:04:05"},
      {"hh:nn n", Sunday, "03:04 4"},
      // m after an hour is minutes, also with other characters between, but
      // not once another field came after the hour.
      {"h-m", Sunday, "3-4"},
      {"hh mm dd mm", Sunday, "03 04 02 11"},
      {"mm/dd hh:mm", Sunday, "11.02 03:04"},
      {"h:mm AMPM", Afternoon, "1:44 PM"},
      {"AMPM hh:mm", Afternoon, "PM 01:44"},
      {"hh:mm ampm", Sunday, "03:04 AM"},
      {"h AMPM", Midnight, "12 AM"},
      {"h AMPM", Noon, "12 PM"},
      {"h:mm", Afternoon, "13:44"},
      {"h \"AMPM\"", Afternoon, "13 AMPM"},
      {"'dd' \"mm\" dd", Sunday, "dd mm 02"},
      {"\"it's\" d", Sunday, "it's 2"},
      {"d 'ab", Sunday, "2 ab"},
      {"x z, d", Sunday, "x z, 2"},
  };
  const TFormatSettings settings = Settings(".", "", "");
  for (const Case& c : cases) {
    EXPECT_EQ(FormatPicture(c.Picture, StampOf(c.At), settings), c.Expected) << c.Picture;
  }
}

TEST(FormatPicture, SeparatorFieldsTakeTheSettings) {
  const TStamp at = StampOf(Sunday);
  EXPECT_EQ(FormatPicture("dd/mm/yyyy hh:nn", at, Settings("", "", "", ".")), "02112008 03.04");
  EXPECT_EQ(FormatPicture("dd/mm/yyyy hh:nn", at, Settings("-", "", "", "")), "02-11-2008 0304");
}

TEST(FormatDefault, TimeOnlyWhenHoursMinutesOrSecondsAreSet) {
  struct Case {
    Moment At;
    const char* Expected;
  };
  const Case cases[] = {
      {Midnight, "12.11.2008"},
      {{2008, 11, 12, 0, 0, 0, 999}, "12.11.2008"},
      {{2008, 11, 12, 0, 0, 1, 0}, "12.11.2008 00:00:01"},
      {Afternoon, "12.11.2008 13:44:55"},
  };
  const TFormatSettings settings = Settings(".", "dd/mm/yyyy", "hh:mm:ss");
  for (const Case& c : cases) {
    EXPECT_EQ(FormatDefault(StampOf(c.At), settings), c.Expected) << c.Expected;
  }
}

// The usage screen's hint: the default form of its sample moment with the
// numbers named by letter codes.
TEST(FormatDefault, UsageHintOfTheSettings) {
  struct Case {
    TFormatSettings Settings;
    const char* Sample;
    const char* Hint;
  };
  const Case cases[] = {
      {Settings(".", "dd/mm/yyyy", "hh:mm:ss"), "12.11.3333 13:44:55", "DD.MM.YYYY HH:NN:SS"},
      {Settings("-", "yyyy/mm/dd", "hh:mm:ss"), "3333-11-12 13:44:55", "YYYY-MM-DD HH:NN:SS"},
      {Settings("/", "mm/dd/yyyy", "h:mm:ss AMPM"), "11/12/3333 1:44:55 PM", "MM/DD/YYYY 1:NN:SS PM"},
      {Settings(".", "dd/mm/yy", "hh:mm:ss"), "12.11.33 13:44:55", "DD.MM.33 HH:NN:SS"},
      {Settings("-", "dd/mmm/yyyy", "hh:mm:ss"), "12-Nov-3333 13:44:55", "DD-Nov-YYYY HH:NN:SS"},
  };
  const TStamp sample = StampOf({3333, 11, 12, 13, 44, 55, 0});
  for (const Case& c : cases) {
    const std::string text = FormatDefault(sample, c.Settings);
    EXPECT_EQ(text, c.Sample);
    EXPECT_EQ(FormatHint(c.Settings), c.Hint);
  }
}

// What the default form writes, the parse reads back to the second.
TEST(FormatDefault, ParseReadsItBackToTheSecond) {
  TFormatSettings dayFirst = Settings(".", "dd/mm/yyyy", "hh:mm:ss");
  TFormatSettings monthFirstSuffix = Settings("/", "m/d/yyyy", "h:mm:ss AMPM");
  TFormatSettings yearFirst = Settings("-", "yyyy/mm/dd", "hh:mm:ss", ".");
  yearFirst.DecimalSeparator = ",";
  TFormatSettings prefixMarker = Settings(".", "d/m/yyyy", "AMPM hh:mm:ss");
  prefixMarker.TimeAMString = "vorm.";
  prefixMarker.TimePMString = "nachm.";
  TFormatSettings blankDate = Settings(" ", "dd/mm/yyyy", "h:mm:ss");
  const TFormatSettings all[] = {dayFirst, monthFirstSuffix, yearFirst, prefixMarker, blankDate};

  std::mt19937_64 random(20081112);
  std::uniform_real_distribution<double> anyMoment(EncodeDate(1, 1, 1), MaxStamp + 1);
  for (const TFormatSettings& settings : all) {
    for (int i = 0; i < 2000; ++i) {
      // Whole days now and then, which are written without a time.
      double moment = anyMoment(random);
      if (i % 10 == 0) moment = std::floor(moment);
      const TStampFields f = DecodeStamp(moment);
      const TStamp expected = CombineDateTime(EncodeDate(f.Year, f.Month, f.Day),
                                              EncodeTime(f.Hour, f.Minute, f.Second, 0));
      const std::string text = FormatDefault(moment, settings);
      TStamp parsed = 0;
      ASSERT_NO_THROW(parsed = ParseStamp(text, settings, 2026)) << text;
      ASSERT_EQ(parsed, expected) << text << " with " << settings.ShortDateFormat;
    }
  }
}

}  // namespace
}  // namespace velmaron
