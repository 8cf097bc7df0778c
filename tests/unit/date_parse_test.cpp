#include <gtest/gtest.h>

#include "platform/date_format.h"

namespace velmaron {
namespace {

constexpr int CurrentYear = 2026;

// Year 0 stands for a time without a date.
struct Moment {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

TStamp StampOf(const Moment& m) {
  const TStamp time = EncodeTime(m.Hour, m.Minute, m.Second, m.Millisecond);
  return m.Year == 0 ? time : CombineDateTime(EncodeDate(m.Year, m.Month, m.Day), time);
}

TFormatSettings Settings(const char* dateSeparator, const char* shortDateFormat,
                         const char* timeSeparator = ":") {
  TFormatSettings s;
  s.DateSeparator = dateSeparator;
  s.ShortDateFormat = shortDateFormat;
  s.TimeSeparator = timeSeparator;
  return s;
}

const TFormatSettings DayFirst = Settings(".", "dd.mm.yyyy");

struct AcceptedCase {
  const char* Text;
  TFormatSettings Settings;
  Moment Expected;
};

void ExpectAccepted(const AcceptedCase& c) {
  TStamp parsed = 0;
  ASSERT_NO_THROW(parsed = ParseStamp(c.Text, c.Settings, CurrentYear)) << '"' << c.Text << '"';
  EXPECT_EQ(parsed, StampOf(c.Expected)) << '"' << c.Text << "\" with " << c.Settings.ShortDateFormat;
}

struct RejectedCase {
  const char* Text;
  TFormatSettings Settings;
};

void ExpectRejected(const RejectedCase& c) {
  EXPECT_THROW(ParseStamp(c.Text, c.Settings, CurrentYear), EConvertError)
      << '"' << c.Text << "\" with " << c.Settings.ShortDateFormat;
}

TEST(ParseStamp, DateTimeAndTimeAloneForms) {
  const AcceptedCase cases[] = {
      {"12.11.2008", DayFirst, {2008, 11, 12}},
      {"12.11.2008 13:44", DayFirst, {2008, 11, 12, 13, 44}},
      {"12.11.2008 13:44:55", DayFirst, {2008, 11, 12, 13, 44, 55}},
      {"12.11.2008 13:44:55.5", DayFirst, {2008, 11, 12, 13, 44, 55, 5}},
      {"12.11.2008 13:44:55.999", DayFirst, {2008, 11, 12, 13, 44, 55, 999}},
      {"12.11.2008 23:59:59.999", DayFirst, {2008, 11, 12, 23, 59, 59, 999}},
      // The time stops at the hour when no time separator follows.
      {"12.11.2008 13.44", DayFirst, {2008, 11, 12, 13}},
      {"  12 . 11 . 2008   13 : 44 : 55 . 5  ", DayFirst, {2008, 11, 12, 13, 44, 55, 5}},
      {"12.11.2008   ", DayFirst, {2008, 11, 12}},
      {"12.11.2008.", DayFirst, {2008, 11, 12}},
      {"12.11.2008. 13:44", DayFirst, {2008, 11, 12, 13, 44}},
      {"012.0011.02008", DayFirst, {2008, 11, 12}},
      {"29.02.2008", DayFirst, {2008, 2, 29}},
      {"31.12.9999 23:59:59.999", DayFirst, {9999, 12, 31, 23, 59, 59, 999}},
      {"1.1.0001", DayFirst, {1, 1, 1}},
      // Anything after a time is left alone.
      {"12.11.2008 13:44 xyz", DayFirst, {2008, 11, 12, 13, 44}},
      {"12.11.2008 13:44:55:12", DayFirst, {2008, 11, 12, 13, 44, 55}},
      {"12.11.2008 13xyz", DayFirst, {2008, 11, 12, 13}},
      {"13:44", DayFirst, {0, 0, 0, 13, 44}},
      {"13:44:55.25", DayFirst, {0, 0, 0, 13, 44, 55, 25}},
      {" 13:44  ", DayFirst, {0, 0, 0, 13, 44}},
      {"13", DayFirst, {0, 0, 0, 13}},
      {"0:00", DayFirst, {0, 0, 0, 0}},
  };
  for (const AcceptedCase& c : cases) ExpectAccepted(c);
}

TEST(ParseStamp, RejectsEverythingElse) {
  const RejectedCase cases[] = {
      {"", DayFirst},
      {"   ", DayFirst},
      {"12345", DayFirst},  // read as 1234 and 5: no date, no hour
      {"12.11.2008\t13:44", DayFirst},
      {"\t13:44", DayFirst},
      {"13:44\t", DayFirst},
      {"12.11.2008 xyz", DayFirst},
      {"12.11.2008..", DayFirst},
      {"13:44 xyz", DayFirst},
      {"xyz 13:44", DayFirst},
      {"12.11.2008 13:", DayFirst},
      {"12.11.2008 13:44:", DayFirst},
      {"12.11.2008 13:44:55.", DayFirst},
      {"12:", DayFirst},
      {"12.11.2008 13:44:55.1000", DayFirst},
      {"-12.11.2008", DayFirst},
  };
  for (const RejectedCase& c : cases) ExpectRejected(c);
}

TEST(ParseStamp, ImpossibleDatesAndTimes) {
  const RejectedCase cases[] = {
      {"31.02.2008", DayFirst}, {"29.02.2009", DayFirst},    {"29.02.1900", DayFirst},
      {"31.11.2008", DayFirst}, {"0.11.2008", DayFirst},     {"12.0.2008", DayFirst},
      {"12.13.2008", DayFirst}, {"12.11.0000", DayFirst},    {"12.11.000", DayFirst},
      {"30.02", DayFirst},      {"12.11.2008 24:00", DayFirst}, {"12.11.2008 23:60", DayFirst},
      {"12.11.2008 23:59:60", DayFirst}, {"24:00", DayFirst}, {"23:60", DayFirst},
      {"23:59:60", DayFirst},
  };
  for (const RejectedCase& c : cases) ExpectRejected(c);
}

// One- and two-digit years fall within [CurrentYear - 50, CurrentYear + 49].
TEST(ParseStamp, YearWindowForShortYears) {
  const AcceptedCase cases[] = {
      {"12.11.76", DayFirst, {1976, 11, 12}}, {"12.11.75", DayFirst, {2075, 11, 12}},
      {"12.11.08", DayFirst, {2008, 11, 12}}, {"12.11.8", DayFirst, {2008, 11, 12}},
      {"12.11.0", DayFirst, {2000, 11, 12}},  {"12.11.99", DayFirst, {1999, 11, 12}},
      {"12.11.26", DayFirst, {2026, 11, 12}}, {"12.11.075", DayFirst, {75, 11, 12}},
      {"12.11.0008", DayFirst, {8, 11, 12}},  {"12.11.976", DayFirst, {976, 11, 12}},
  };
  for (const AcceptedCase& c : cases) ExpectAccepted(c);
  EXPECT_EQ(ParseStamp("1.1.49", DayFirst, 2000), EncodeDate(2049, 1, 1));
  EXPECT_EQ(ParseStamp("1.1.50", DayFirst, 2000), EncodeDate(1950, 1, 1));
}

TEST(ParseStamp, OrderOfNumbersFollowsTheFirstDateLetter) {
  const TFormatSettings monthFirst = Settings(".", "mm.dd.yyyy");
  const TFormatSettings yearFirst = Settings("-", "yyyy/mm/dd");
  const AcceptedCase cases[] = {
      {"12.11.2008 13.44", monthFirst, {2008, 12, 11, 13}},
      {"12.11.2008", Settings(".", "DD.MM.YYYY"), {2008, 11, 12}},
      {"12.11.2008", Settings(".", "M.d.yy"), {2008, 12, 11}},
      {"12.11.2008", Settings(".", ""), {2008, 12, 11}},
      {"12.11.2008", Settings(".", "dddd d/m/yyyy"), {2008, 11, 12}},
      {"2008-11-12", yearFirst, {2008, 11, 12}},
      {"08-11-12", yearFirst, {2008, 11, 12}},
      {"2008-11-12", Settings("-", "ee/m/d"), {2008, 11, 12}},
      {"2008-11-12", Settings("-", "'Day' yyyy/mm/dd"), {2008, 11, 12}},
      // Two numbers are day and month of the current year.
      {"12.11", DayFirst, {CurrentYear, 11, 12}},
      {"12.11.", DayFirst, {CurrentYear, 11, 12}},
      {"12.11 13:44", DayFirst, {CurrentYear, 11, 12, 13, 44}},
      {"12.11", monthFirst, {CurrentYear, 12, 11}},
      {"11-12", yearFirst, {CurrentYear, 11, 12}},
  };
  for (const AcceptedCase& c : cases) ExpectAccepted(c);
  ExpectRejected({"29.02", DayFirst});  // 2026 is no leap year
}

TEST(ParseStamp, MarkersBeforeOrAfterTheTime) {
  TFormatSettings german = DayFirst;
  german.TimeAMString = "vorm.";
  german.TimePMString = "nachm.";
  TFormatSettings noMarkers = DayFirst;
  noMarkers.TimeAMString = "";
  noMarkers.TimePMString = "";
  const AcceptedCase cases[] = {
      {"PM 1:30", DayFirst, {0, 0, 0, 13, 30}},
      {"1:30 pm", DayFirst, {0, 0, 0, 13, 30}},
      {"1:30pm", DayFirst, {0, 0, 0, 13, 30}},
      {"pM 1", DayFirst, {0, 0, 0, 13}},
      {"12:00 AM", DayFirst, {0, 0, 0, 0}},
      {"AM 12:30", DayFirst, {0, 0, 0, 0, 30}},
      {"12:00 PM", DayFirst, {0, 0, 0, 12}},
      {"11:59:59 PM", DayFirst, {0, 0, 0, 23, 59, 59}},
      {"1:30 am", DayFirst, {0, 0, 0, 1, 30}},
      {"12.11.2008 1:30 PM", DayFirst, {2008, 11, 12, 13, 30}},
      {"12.11.2008 PM 1:30", DayFirst, {2008, 11, 12, 13, 30}},
      // With a marker before, none is looked for after: the rest is ignored.
      {"12.11.2008 AM 1:30 PM", DayFirst, {2008, 11, 12, 1, 30}},
      {"1:30 nachm.", german, {0, 0, 0, 13, 30}},
      {"NACHM. 1:30", german, {0, 0, 0, 13, 30}},
      {"1:30 vorm.", german, {0, 0, 0, 1, 30}},
      {"1:30 PM", german, {0, 0, 0, 13, 30}},
      {"1:30 PM", noMarkers, {0, 0, 0, 13, 30}},
  };
  for (const AcceptedCase& c : cases) ExpectAccepted(c);

  const RejectedCase rejected[] = {
      {"13:00 PM", DayFirst}, {"0:30 AM", DayFirst},   {"PM 0:30", DayFirst},
      {"PM 1:30 PM", DayFirst}, {"1:30 p", DayFirst},  {"PM", DayFirst},
      {"1:30 nachm", german},  {"12.11.2008 13:00 PM", DayFirst},
  };
  for (const RejectedCase& c : rejected) ExpectRejected(c);
}

TEST(ParseStamp, SeparatorsOfTheSettings) {
  const TFormatSettings noDateSeparator = Settings("", "ddmmyyyy");
  const TFormatSettings noTimeSeparator = Settings(".", "dd.mm.yyyy", "");
  const TFormatSettings blankSeparator = Settings(" ", "dd mm yyyy");
  TFormatSettings decimalComma = Settings(".", "dd.mm.yyyy", ".");
  decimalComma.DecimalSeparator = ",";
  const AcceptedCase cases[] = {
      {"13:44", noDateSeparator, {0, 0, 0, 13, 44}},
      {"12.11.2008 13:44", noTimeSeparator, {2008, 11, 12, 13}},
      {"12 11 2008", blankSeparator, {2008, 11, 12}},
      {"12 11 2008 13:44", blankSeparator, {2008, 11, 12, 13, 44}},
      {"12 11", blankSeparator, {CurrentYear, 11, 12}},
      {"12.11.2008 13.44.55,5", decimalComma, {2008, 11, 12, 13, 44, 55, 5}},
      {"11/12/2008 1:44:55 PM", Settings("/", "m/d/yy"), {2008, 11, 12, 13, 44, 55}},
  };
  for (const AcceptedCase& c : cases) ExpectAccepted(c);

  const RejectedCase rejected[] = {
      {"12112008", noDateSeparator},
      {"12.11.2008", noDateSeparator},
      {"13:44", noTimeSeparator},
      {"12/11/2008", DayFirst},
      {"13.44.55.5", decimalComma},
  };
  for (const RejectedCase& c : rejected) ExpectRejected(c);
}

}  // namespace
}  // namespace velmaron
