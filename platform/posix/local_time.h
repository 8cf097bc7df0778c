// Local-time conversions between file times (UTC) and DOS dates, each with the
// time-zone rules in force at that very date.
#pragma once

#include <ctime>

#include "platform/dos_date.h"

namespace velmaron {

// A file's UTC time as a local DOS date (odd seconds round down);
// kNoEntryTime (0) when the local year lies outside 1980..2107.
TDosDate UtcToLocalDosDate(std::time_t seconds);

// The UTC seconds of a local DOS date; false when the date is 0 or invalid.
bool LocalDosDateToUtc(TDosDate date, std::time_t& seconds);

}  // namespace velmaron
