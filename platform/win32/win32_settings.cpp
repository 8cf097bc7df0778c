// The date-time settings of the user's locale, read through the ANSI locale API
// so that names come in the same code page as the rest of our output.
#include <windows.h>

#include <optional>
#include <string>

#include "platform/settings.h"

namespace velmaron {

namespace {

// The locale's value, or nothing when the locale does not have it. An empty
// value is a real answer (e.g. no date separator) and must stay distinct.
std::optional<std::string> LocaleValue(LCTYPE type) {
  char buffer[256];
  const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
  if (length <= 0) return std::nullopt;
  return std::string(buffer, static_cast<std::size_t>(length) - 1);
}

std::string ValueOr(LCTYPE type, const std::string& fallback) {
  return LocaleValue(type).value_or(fallback);
}

std::string Separator(LCTYPE type, const std::string& fallback) {
  const std::optional<std::string> value = LocaleValue(type);
  return SeparatorOrDefault(value ? value->c_str() : nullptr, fallback);
}

bool FlagIs(LCTYPE type, const char* expected) {
  const std::optional<std::string> value = LocaleValue(type);
  return value && *value == expected;
}

}  // namespace

TFormatSettings ReadSystemSettings() {
  TFormatSettings s;
  s.DateSeparator = Separator(LOCALE_SDATE, "/");
  s.TimeSeparator = Separator(LOCALE_STIME, ":");
  s.DecimalSeparator = Separator(LOCALE_SDECIMAL, ".");
  s.ShortDateFormat = ValueOr(LOCALE_SSHORTDATE, "m/d/yy");
  s.TimeAMString = ValueOr(LOCALE_S1159, "am");
  s.TimePMString = ValueOr(LOCALE_S2359, "pm");
  s.LongTimeFormat = BuildLongTimeFormat(FlagIs(LOCALE_ITLZERO, "1"), FlagIs(LOCALE_ITIME, "0"),
                                         FlagIs(LOCALE_ITIMEMARKPOSN, "1"));
  for (LCTYPE i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = ValueOr(LOCALE_SABBREVMONTHNAME1 + i, s.ShortMonthNames[i]);
    s.LongMonthNames[i] = ValueOr(LOCALE_SMONTHNAME1 + i, s.LongMonthNames[i]);
  }
  // The locale counts from Monday (1) to Sunday (7); our names start on Sunday.
  for (LCTYPE i = 0; i < 7; ++i) {
    const std::size_t day = (i + 1) % 7;
    s.ShortDayNames[day] = ValueOr(LOCALE_SABBREVDAYNAME1 + i, s.ShortDayNames[day]);
    s.LongDayNames[day] = ValueOr(LOCALE_SDAYNAME1 + i, s.LongDayNames[day]);
  }
  return s;
}

}  // namespace velmaron
