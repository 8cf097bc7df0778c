// TStamp: days since 30 December 1899, 00:00 local time; the fraction is the
// time of day. Dates before 1899 are negative with the time counted forwards
// from the start of the day, so -1.25 is 29 December 1899, 06:00.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velmaron {

using TStamp = double;

// 31 December 9999, 00:00: "no timestamp given", and later than any entry.
inline constexpr TStamp MaxStamp = 2958465.0;

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text or number that is no valid date or time.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

struct TStampFields {
  int Year = 0, Month = 0, Day = 0;
  int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
  int DayOfWeek = 0;  // 1 = Sunday .. 7 = Saturday
};

// The whole days of a date in years 1..9999; EConvertError when impossible.
TStamp EncodeDate(int year, int month, int day);
// The day fraction of a time before 24:00; EConvertError when impossible.
TStamp EncodeTime(int hour, int minute, int second, int millisecond);
// Joins a date from EncodeDate and a time from EncodeTime into one moment.
TStamp CombineDateTime(TStamp date, TStamp time);
// Splits a moment into fields, first rounded to the nearest millisecond.
TStamp RoundToMillisecond(TStamp value);
TStampFields DecodeStamp(TStamp value);

}  // namespace velmaron
