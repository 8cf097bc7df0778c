#include "platform/stamp.h"

#include <chrono>
#include <cmath>
#include <cstdint>

namespace velmaron {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::int64_t MillisecondsPerDay = 86'400'000;
// Day 0 of a stamp is 30 December 1899; the chrono clocks count from 1970.
constexpr sys_days StampEpoch = sys_days{std::chrono::year{1899} / 12 / 30};
// Beyond any year the chrono calendar can hold; keeps the casts defined.
constexpr double LargestDecodableDay = 11'000'000.0;

// A moment as a whole day number and the milliseconds into that day.
struct DayAndTime {
  std::int64_t Day = 0;
  std::int64_t Millisecond = 0;
};

DayAndTime SplitRounded(TStamp value) {
  if (!std::isfinite(value) || std::fabs(value) > LargestDecodableDay) {
    throw EConvertError("Invalid date value");
  }
  const double whole = std::trunc(value);
  // Before 1899 the fraction still counts forwards from the start of the day.
  const double fraction = std::fabs(value - whole);
  DayAndTime result{static_cast<std::int64_t>(whole),
                    std::llround(fraction * static_cast<double>(MillisecondsPerDay))};
  if (result.Millisecond >= MillisecondsPerDay) {
    result.Millisecond -= MillisecondsPerDay;
    ++result.Day;
  }
  return result;
}

TStamp JoinDayAndTime(const DayAndTime& parts) {
  const double day = static_cast<double>(parts.Day);
  const double time = static_cast<double>(parts.Millisecond) / static_cast<double>(MillisecondsPerDay);
  return CombineDateTime(day, time);
}

}  // namespace

TStamp EncodeDate(int year, int month, int day) {
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  // The casts above wrap negative months and days into huge values, which ok() rejects.
  if (year < 1 || year > 9999 || month < 1 || day < 1 || !date.ok()) {
    throw EConvertError("Invalid argument to date encode");
  }
  return static_cast<TStamp>((sys_days{date} - StampEpoch).count());
}

TStamp EncodeTime(int hour, int minute, int second, int millisecond) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 ||
      millisecond < 0 || millisecond >= 1000) {
    throw EConvertError("Invalid argument to time encode");
  }
  const std::int64_t total = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  return static_cast<TStamp>(total) / static_cast<TStamp>(MillisecondsPerDay);
}

TStamp CombineDateTime(TStamp date, TStamp time) {
  return date >= 0 ? date + time : date - time;
}

TStamp RoundToMillisecond(TStamp value) {
  return JoinDayAndTime(SplitRounded(value));
}

TStampFields DecodeStamp(TStamp value) {
  const DayAndTime parts = SplitRounded(value);
  const sys_days day = StampEpoch + days{parts.Day};
  const year_month_day date{day};

  TStampFields fields;
  fields.Year = static_cast<int>(date.year());
  fields.Month = static_cast<int>(static_cast<unsigned>(date.month()));
  fields.Day = static_cast<int>(static_cast<unsigned>(date.day()));
  fields.DayOfWeek = static_cast<int>(std::chrono::weekday{day}.c_encoding()) + 1;

  std::int64_t rest = parts.Millisecond;
  fields.Millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  fields.Second = static_cast<int>(rest % 60);
  rest /= 60;
  fields.Minute = static_cast<int>(rest % 60);
  fields.Hour = static_cast<int>(rest / 60);
  return fields;
}

}  // namespace velmaron
