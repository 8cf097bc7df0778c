// The system date-time settings: read once at start, then passed by value to
// the parse and the default format.
#pragma once

#include <array>
#include <string>

namespace velmaron {

struct TFormatSettings {
  // Each is one character, or empty when the locale gives no separator at all.
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  std::string DecimalSeparator = ".";
  std::string ShortDateFormat = "m/d/yy";
  std::string LongTimeFormat = "h:mm:ss AMPM";
  std::string TimeAMString = "am";
  std::string TimePMString = "pm";
  std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> LongMonthNames{"January", "February", "March",     "April",
                                             "May",     "June",     "July",      "August",
                                             "September", "October", "November", "December"};
  // Index 0 is Sunday.
  std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                          "Thursday", "Friday", "Saturday"};
};

// "AMPM " when the marker comes first, "hh" or "h", ":mm:ss", " AMPM" when it
// comes last; a 24-hour clock has no marker.
std::string BuildLongTimeFormat(bool leadingZeroHours, bool twelveHour, bool markerFirst);

// A locale value for a separator: one byte stays; more than one byte, or no
// value, gives the default; an empty value gives no separator.
std::string SeparatorOrDefault(const char* localeValue, const std::string& fallback);

// Reads the settings of the running program's locale (platform specific).
TFormatSettings ReadSystemSettings();

}  // namespace velmaron
