#include "platform/dos_date.h"

#include <chrono>

namespace velmaron {
namespace {

constexpr int FirstDosYear = 1980;
constexpr int LastDosYear = 2107;

bool IsRealDate(int year, int month, int day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return date.ok();
}

}  // namespace

std::optional<TStampFields> UnpackDosDate(TDosDate d) {
  TStampFields fields;
  fields.Year = FirstDosYear + static_cast<int>(d >> 25);
  fields.Month = static_cast<int>((d >> 21) & 0x0F);
  fields.Day = static_cast<int>((d >> 16) & 0x1F);
  fields.Hour = static_cast<int>((d >> 11) & 0x1F);
  fields.Minute = static_cast<int>((d >> 5) & 0x3F);
  fields.Second = static_cast<int>(d & 0x1F) * 2;
  if (!IsRealDate(fields.Year, fields.Month, fields.Day) || fields.Hour > 23 ||
      fields.Minute > 59 || fields.Second > 59) {
    return std::nullopt;
  }
  return fields;
}

TStamp DosDateToStamp(TDosDate d) {
  const std::optional<TStampFields> fields = UnpackDosDate(d);
  if (!fields) throw EConvertError("Invalid DOS date and time");
  return CombineDateTime(EncodeDate(fields->Year, fields->Month, fields->Day),
                         EncodeTime(fields->Hour, fields->Minute, fields->Second, 0));
}

TDosDate StampToDosDate(TStamp value) {
  const TStampFields f = DecodeStamp(value);
  return PackDosDate(f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
}

TDosDate PackDosDate(int year, int month, int day, int hour, int minute, int second) {
  if (year < FirstDosYear || year > LastDosYear) return 0;
  return static_cast<TDosDate>(year - FirstDosYear) << 25 | static_cast<TDosDate>(month) << 21 |
         static_cast<TDosDate>(day) << 16 | static_cast<TDosDate>(hour) << 11 |
         static_cast<TDosDate>(minute) << 5 | static_cast<TDosDate>(second / 2);
}

}  // namespace velmaron
