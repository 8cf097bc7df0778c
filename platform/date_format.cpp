#include "platform/date_format.h"

#include <chrono>
#include <cstddef>
#include <optional>

namespace velmaron {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Byte-wise and ASCII-only, so multibyte markers compare exactly whatever the
// process locale is.
bool StartsWithNoCase(const std::string& text, std::size_t pos, const std::string& word) {
  if (word.empty() || text.size() - pos < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (AsciiLower(text[pos + i]) != AsciiLower(word[i])) return false;
  }
  return true;
}

bool IsQuote(char c) {
  return c == '\'' || c == '"';
}

// The position just after the quoted text opening at pos (the end of the
// picture when the quote is never closed).
std::size_t SkipQuoted(const std::string& picture, std::size_t pos) {
  const std::size_t closing = picture.find(picture[pos], pos + 1);
  return closing == std::string::npos ? picture.size() : closing + 1;
}

// ---------------------------------------------------------------- reading

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

DateOrder OrderOfFields(const std::string& shortDateFormat) {
  for (std::size_t i = 0; i < shortDateFormat.size();) {
    if (IsQuote(shortDateFormat[i])) {
      i = SkipQuoted(shortDateFormat, i);
      continue;
    }
    switch (AsciiLower(shortDateFormat[i])) {
      case 'd': return DateOrder::DayMonthYear;
      case 'y':
      case 'e': return DateOrder::YearMonthDay;
      case 'm': return DateOrder::MonthDayYear;
      default: ++i;
    }
  }
  return DateOrder::MonthDayYear;
}

struct Number {
  int Value = 0;
  int Digits = 0;
};

// Reads the text left to right; every failed read leaves the position as it was.
class Scanner {
 public:
  explicit Scanner(const std::string& text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  // Only the blank: a tab or another space character is no filler.
  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  // A number stops once it reaches 1000, so "12345" reads as 1234.
  std::optional<Number> ReadNumber() {
    const std::size_t start = pos_;
    SkipBlanks();
    Number number;
    while (pos_ < text_.size() && IsDigit(text_[pos_]) && number.Value < 1000) {
      number.Value = number.Value * 10 + (text_[pos_] - '0');
      ++number.Digits;
      ++pos_;
    }
    if (number.Digits == 0) {
      pos_ = start;
      return std::nullopt;
    }
    return number;
  }

  // An empty separator matches nothing. A blank separator is taken by the
  // blanks that may precede any separator.
  bool ReadSeparator(const std::string& separator) {
    if (separator.empty()) return false;
    const std::size_t start = pos_;
    SkipBlanks();
    if (text_.compare(pos_, separator.size(), separator) == 0) {
      pos_ += separator.size();
      return true;
    }
    if (separator == " " && pos_ > start) return true;
    pos_ = start;
    return false;
  }

  // Whether a morning (false) or afternoon (true) marker stands here.
  std::optional<bool> ReadMarker(const TFormatSettings& settings) {
    const std::size_t start = pos_;
    SkipBlanks();
    const struct {
      const std::string& Text;
      bool Afternoon;
    } markers[] = {{settings.TimeAMString, false}, {Am, false}, {settings.TimePMString, true}, {Pm, true}};
    for (const auto& marker : markers) {
      if (StartsWithNoCase(text_, pos_, marker.Text)) {
        pos_ += marker.Text.size();
        return marker.Afternoon;
      }
    }
    pos_ = start;
    return std::nullopt;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  inline static const std::string Am = "AM";
  inline static const std::string Pm = "PM";
  const std::string& text_;
  std::size_t pos_ = 0;
};

// One or two written digits name the year within 50 years of currentYear.
int FullYear(const Number& year, int currentYear) {
  if (year.Digits > 2) return year.Value;
  const int windowStart = currentYear - 50;
  return windowStart + ((year.Value - windowStart) % 100 + 100) % 100;
}

std::optional<TStamp> RealDate(int year, int month, int day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  if (year < 1 || year > 9999 || !date.ok()) return std::nullopt;
  return EncodeDate(year, month, day);
}

std::optional<TStamp> ReadDate(Scanner& scanner, const TFormatSettings& settings, int currentYear) {
  const std::string& separator = settings.DateSeparator;
  const std::optional<Number> first = scanner.ReadNumber();
  if (!first || !scanner.ReadSeparator(separator)) return std::nullopt;
  const std::optional<Number> second = scanner.ReadNumber();
  if (!second) return std::nullopt;
  std::optional<Number> third;
  // A separator without a number after it is the one allowed to close the date.
  if (scanner.ReadSeparator(separator)) {
    third = scanner.ReadNumber();
    if (third) scanner.ReadSeparator(separator);
  }

  const DateOrder order = OrderOfFields(settings.ShortDateFormat);
  if (!third) {
    const bool dayFirst = order == DateOrder::DayMonthYear;
    const Number& month = dayFirst ? *second : *first;
    const Number& day = dayFirst ? *first : *second;
    return RealDate(currentYear, month.Value, day.Value);
  }
  switch (order) {
    case DateOrder::DayMonthYear:
      return RealDate(FullYear(*third, currentYear), second->Value, first->Value);
    case DateOrder::YearMonthDay:
      return RealDate(FullYear(*first, currentYear), second->Value, third->Value);
    case DateOrder::MonthDayYear: break;
  }
  return RealDate(FullYear(*third, currentYear), first->Value, second->Value);
}

std::optional<TStamp> ReadTime(Scanner& scanner, const TFormatSettings& settings) {
  std::optional<bool> afternoon = scanner.ReadMarker(settings);
  const bool markerBefore = afternoon.has_value();
  const std::optional<Number> hour = scanner.ReadNumber();
  if (!hour) return std::nullopt;

  int minute = 0, second = 0, millisecond = 0;
  if (scanner.ReadSeparator(settings.TimeSeparator)) {
    const std::optional<Number> minutes = scanner.ReadNumber();
    if (!minutes) return std::nullopt;
    minute = minutes->Value;
    if (scanner.ReadSeparator(settings.TimeSeparator)) {
      const std::optional<Number> seconds = scanner.ReadNumber();
      if (!seconds) return std::nullopt;
      second = seconds->Value;
      if (scanner.ReadSeparator(settings.DecimalSeparator)) {
        const std::optional<Number> fraction = scanner.ReadNumber();
        if (!fraction) return std::nullopt;
        millisecond = fraction->Value;
      }
    }
  }
  if (!markerBefore) afternoon = scanner.ReadMarker(settings);

  int hours = hour->Value;
  if (afternoon) {
    // On the twelve-hour clock 12 comes before 1.
    if (hours < 1 || hours > 12) return std::nullopt;
    hours = hours % 12 + (*afternoon ? 12 : 0);
  }
  if (hours >= 24 || minute >= 60 || second >= 60 || millisecond >= 1000) return std::nullopt;
  return EncodeTime(hours, minute, second, millisecond);
}

// A date, then either the end or a time (after which anything may follow).
std::optional<TStamp> ReadDateAndTime(const std::string& text, const TFormatSettings& settings,
                                      int currentYear) {
  Scanner scanner(text);
  const std::optional<TStamp> date = ReadDate(scanner, settings, currentYear);
  if (!date) return std::nullopt;
  scanner.SkipBlanks();
  if (scanner.AtEnd()) return date;
  const std::optional<TStamp> time = ReadTime(scanner, settings);
  if (!time) return std::nullopt;
  return CombineDateTime(*date, *time);
}

std::optional<TStamp> ReadTimeAlone(const std::string& text, const TFormatSettings& settings) {
  Scanner scanner(text);
  const std::optional<TStamp> time = ReadTime(scanner, settings);
  scanner.SkipBlanks();
  if (!time || !scanner.AtEnd()) return std::nullopt;
  return time;
}

// ---------------------------------------------------------------- writing

std::string Padded(int value, std::size_t width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return value < 0 ? "-" + digits : digits;
}

std::string Number1Or2(int value, std::size_t run) {
  return run >= 2 ? Padded(value, 2) : std::to_string(value);
}

bool HasMarkerField(const std::string& picture) {
  for (std::size_t i = 0; i < picture.size();) {
    if (IsQuote(picture[i])) {
      i = SkipQuoted(picture, i);
    } else if (StartsWithNoCase(picture, i, "ampm")) {
      return true;
    } else {
      ++i;
    }
  }
  return false;
}

std::size_t RunLength(const std::string& picture, std::size_t pos) {
  std::size_t end = pos;
  while (end < picture.size() && picture[end] == picture[pos]) ++end;
  return end - pos;
}

class PictureWriter {
 public:
  PictureWriter(const TStampFields& fields, const TFormatSettings& settings, bool twelveHour)
      : f_(fields), settings_(settings), twelveHour_(twelveHour) {}

  // The text of the letter field c repeated run times; nothing when c is no field.
  std::optional<std::string> Field(char c, std::size_t run) {
    const char field = AsciiLower(c);
    // After an hour, m means minutes: "h:mm".
    const bool minutesAfterHour = field == 'm' && lastField_ == 'h';
    switch (field) {
      case 'y': lastField_ = 'y'; return run <= 2 ? Padded(f_.Year % 100, 2) : Padded(f_.Year, 4);
      case 'm':
        lastField_ = minutesAfterHour ? 'n' : 'm';
        return minutesAfterHour ? Number1Or2(f_.Minute, run) : Month(run);
      case 'd': lastField_ = 'd'; return Day(run);
      case 'h': lastField_ = 'h'; return Number1Or2(ClockHour(), run);
      case 'n': lastField_ = 'n'; return Number1Or2(f_.Minute, run);
      case 's': lastField_ = 's'; return Number1Or2(f_.Second, run);
      default: return std::nullopt;
    }
  }

  std::string Marker() {
    lastField_ = 'a';
    return f_.Hour < 12 ? settings_.TimeAMString : settings_.TimePMString;
  }

 private:
  std::string Month(std::size_t run) const {
    if (run <= 2) return Number1Or2(f_.Month, run);
    return run == 3 ? settings_.ShortMonthNames[f_.Month - 1] : settings_.LongMonthNames[f_.Month - 1];
  }

  std::string Day(std::size_t run) const {
    if (run <= 2) return Number1Or2(f_.Day, run);
    const int weekday = f_.DayOfWeek - 1;
    return run == 3 ? settings_.ShortDayNames[weekday] : settings_.LongDayNames[weekday];
  }

  int ClockHour() const {
    if (!twelveHour_) return f_.Hour;
    return f_.Hour % 12 == 0 ? 12 : f_.Hour % 12;
  }

  const TStampFields& f_;
  const TFormatSettings& settings_;
  bool twelveHour_;
  char lastField_ = 0;
};

std::string FormatFields(const std::string& picture, const TStampFields& fields,
                         const TFormatSettings& settings) {
  PictureWriter writer(fields, settings, HasMarkerField(picture));
  std::string text;
  for (std::size_t i = 0; i < picture.size();) {
    const char c = picture[i];
    if (IsQuote(c)) {
      const std::size_t closing = picture.find(c, i + 1);
      const std::size_t stop = closing == std::string::npos ? picture.size() : closing;
      text.append(picture, i + 1, stop - i - 1);
      i = SkipQuoted(picture, i);
    } else if (StartsWithNoCase(picture, i, "ampm")) {
      text += writer.Marker();
      i += 4;
    } else if (const std::size_t run = RunLength(picture, i); auto field = writer.Field(c, run)) {
      text += *field;
      i += run;
    } else {
      text += c == '/' ? settings.DateSeparator : c == ':' ? settings.TimeSeparator : std::string(1, c);
      ++i;
    }
  }
  return text;
}

}  // namespace

TStamp ParseStamp(const std::string& text, const TFormatSettings& settings, int currentYear) {
  if (const std::optional<TStamp> moment = ReadDateAndTime(text, settings, currentYear)) return *moment;
  if (const std::optional<TStamp> time = ReadTimeAlone(text, settings)) return *time;
  throw EConvertError("'" + text + "' is not a valid date and time");
}

std::string FormatPicture(const std::string& picture, TStamp value, const TFormatSettings& settings) {
  return FormatFields(picture, DecodeStamp(value), settings);
}

std::string FormatDefault(TStamp value, const TFormatSettings& settings) {
  const TStampFields fields = DecodeStamp(value);
  std::string text = FormatFields(settings.ShortDateFormat, fields, settings);
  if (fields.Hour != 0 || fields.Minute != 0 || fields.Second != 0) {
    text += ' ';
    text += FormatFields(settings.LongTimeFormat, fields, settings);
  }
  return text;
}

}  // namespace velmaron
