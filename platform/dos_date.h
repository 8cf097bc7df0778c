// TDosDate: the MS-DOS date and time packed into 32 bits, local time, with a
// resolution of two seconds. Bits 31-25 year-1980, 24-21 month, 20-16 day,
// 15-11 hours, 10-5 minutes, 4-0 seconds/2. 0 is no valid date.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/stamp.h"

namespace velmaron {

using TDosDate = std::uint32_t;

// The exact moment of a packed date; EConvertError when a field is out of range.
TStamp DosDateToStamp(TDosDate d);
// 0 for years outside 1980..2107; else rounded to the millisecond, then the
// milliseconds dropped and the seconds halved rounding down.
TDosDate StampToDosDate(TStamp value);

// The fields of a packed date (seconds doubled, DayOfWeek and Millisecond 0);
// nothing when a field is out of range, as for 0.
std::optional<TStampFields> UnpackDosDate(TDosDate d);

// Packs fields without checks beyond the year window; 0 outside 1980..2107.
TDosDate PackDosDate(int year, int month, int day, int hour, int minute, int second);

}  // namespace velmaron
