#include "platform/posix/posix_settings.h"

#include <langinfo.h>

#include <clocale>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "platform/settings.h"

namespace velmaron {
namespace {

// One piece of a strftime format: a literal byte or a conversion.
struct FormatToken {
  bool IsConversion = false;
  char Literal = 0;      // literal pieces, with %%, %n and %t resolved
  char Letter = 0;       // conversions: the letter after flags, width and modifier
  std::string Flags;     // glibc's - _ 0 ^ #
  std::string Source;    // the piece as written, to rebuild expanded formats
};

bool IsFlag(char c) {
  return c != '\0' && std::strchr("-_0^#", c) != nullptr;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

FormatToken LiteralToken(char c, std::string source) {
  FormatToken token;
  token.Literal = c;
  token.Source = std::move(source);
  return token;
}

// The conversion starting at format[pos] (a '%'); pos is moved past it.
FormatToken ReadConversion(const std::string& format, std::size_t& pos) {
  const std::size_t start = pos++;
  FormatToken token;
  while (pos < format.size() && IsFlag(format[pos])) token.Flags += format[pos++];
  while (pos < format.size() && IsDigit(format[pos])) ++pos;  // a field width
  if (pos < format.size() && (format[pos] == 'E' || format[pos] == 'O')) ++pos;
  if (pos >= format.size()) {
    // A '%' that ends the format stands for itself.
    pos = start + 1;
    return LiteralToken('%', "%%");
  }
  token.Letter = format[pos++];
  token.Source = format.substr(start, pos - start);
  switch (token.Letter) {
    case '%': return LiteralToken('%', token.Source);
    case 'n': return LiteralToken('\n', token.Source);
    case 't': return LiteralToken('\t', token.Source);
    default: token.IsConversion = true; return token;
  }
}

std::vector<FormatToken> Tokenize(const std::string& format) {
  std::vector<FormatToken> tokens;
  for (std::size_t pos = 0; pos < format.size();) {
    if (format[pos] == '%') {
      tokens.push_back(ReadConversion(format, pos));
    } else {
      tokens.push_back(LiteralToken(format[pos], std::string(1, format[pos])));
      ++pos;
    }
  }
  return tokens;
}

using Composites = std::map<char, std::string>;

// Replaces composite conversions by what they stand for. A composite met again
// inside its own expansion (%x within D_FMT, say) is dropped: it would never end.
std::string ExpandComposites(const std::string& format, const Composites& composites,
                             std::string& beingExpanded) {
  std::string expanded;
  for (const FormatToken& token : Tokenize(format)) {
    const auto composite = token.IsConversion ? composites.find(token.Letter) : composites.end();
    if (composite == composites.end()) {
      expanded += token.Source;
    } else if (beingExpanded.find(token.Letter) == std::string::npos) {
      beingExpanded.push_back(token.Letter);
      expanded += ExpandComposites(composite->second, composites, beingExpanded);
      beingExpanded.pop_back();
    }
  }
  return expanded;
}

// Which padding the flags ask for: '-' and '_' drop the zeros, '0' keeps them.
std::optional<bool> ZeroPaddingOfFlags(const std::string& flags) {
  const std::size_t last = flags.find_last_of("-_0");
  if (last == std::string::npos) return std::nullopt;
  return flags[last] == '0';
}

std::optional<std::string> DateField(const FormatToken& token) {
  const std::optional<bool> zeroPadding = ZeroPaddingOfFlags(token.Flags);
  switch (token.Letter) {
    case 'd': return zeroPadding.value_or(true) ? "dd" : "d";
    case 'e': return zeroPadding.value_or(false) ? "dd" : "d";
    case 'm': return zeroPadding.value_or(true) ? "mm" : "m";
    case 'y': return "yy";
    case 'Y': return "yyyy";
    case 'b':
    case 'h': return "mmm";
    case 'B': return "mmmm";
    case 'a': return "ddd";
    case 'A': return "dddd";
    default: return std::nullopt;
  }
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Builds a picture in which literal text cannot be taken for fields.
class PictureBuilder {
 public:
  void Field(const std::string& field) {
    CloseQuote();
    // "%d%e" must not become "ddd", a weekday name: an empty quote splits the run.
    if (!picture_.empty() && AsciiLower(picture_.back()) == AsciiLower(field.front())) picture_ += "\"\"";
    picture_ += field;
  }

  void DateSeparator() {
    CloseQuote();
    picture_ += '/';
  }

  void Literal(char c) {
    if (openQuote_ != 0 && openQuote_ != c) {
      picture_ += c;
      return;
    }
    CloseQuote();
    openQuote_ = c == '"' ? '\'' : '"';
    picture_ += openQuote_;
    picture_ += c;
  }

  std::string Take() {
    CloseQuote();
    return picture_;
  }

 private:
  void CloseQuote() {
    if (openQuote_ == 0) return;
    picture_ += openQuote_;
    openQuote_ = 0;
  }

  std::string picture_;
  char openQuote_ = 0;
};

std::string ExpandDateFormat(const std::string& dateFormat) {
  const Composites composites{{'D', "%m/%d/%y"}, {'F', "%Y-%m-%d"}, {'x', dateFormat}};
  std::string beingExpanded = "x";
  return ExpandComposites(dateFormat, composites, beingExpanded);
}

std::optional<std::string> LanginfoText(nl_item item) {
  const char* text = nl_langinfo(item);
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

template <std::size_t N>
void ReadNames(std::array<std::string, N>& names, const nl_item (&items)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (std::optional<std::string> name = LanginfoText(items[i])) names[i] = *name;
  }
}

void ReadDateSettings(TFormatSettings& settings) {
  const std::string dateFormat = LanginfoText(D_FMT).value_or("");
  if (dateFormat.empty()) return;  // the defaults, m/d/yy
  settings.DateSeparator = FirstLiteralSeparator(ExpandDateFormat(dateFormat), "/");
  settings.ShortDateFormat = PictureFromStrftime(dateFormat, settings.DateSeparator);
}

void ReadTimeSettings(TFormatSettings& settings) {
  std::string timeFormat = LanginfoText(T_FMT).value_or("");
  if (timeFormat.empty()) timeFormat = "%H:%M:%S";
  const std::string expanded = ExpandTimeFormat(timeFormat, LanginfoText(T_FMT_AMPM).value_or(""));
  settings.TimeSeparator = FirstLiteralSeparator(expanded, ":");
  const TimeFormatTraits traits = TraitsOfTimeFormat(expanded);
  settings.LongTimeFormat = BuildLongTimeFormat(traits.LeadingZeroHours, traits.TwelveHour, traits.MarkerFirst);
  if (std::optional<std::string> am = LanginfoText(AM_STR)) settings.TimeAMString = *am;
  if (std::optional<std::string> pm = LanginfoText(PM_STR)) settings.TimePMString = *pm;
}

}  // namespace

std::string PictureFromStrftime(const std::string& dateFormat, const std::string& dateSeparator) {
  const std::string fallback = "m/d/yy";
  if (dateFormat.empty()) return fallback;
  PictureBuilder builder;
  for (const FormatToken& token : Tokenize(ExpandDateFormat(dateFormat))) {
    if (!token.IsConversion) {
      if (dateSeparator.size() == 1 && token.Literal == dateSeparator[0]) {
        builder.DateSeparator();
      } else {
        builder.Literal(token.Literal);
      }
    } else if (const std::optional<std::string> field = DateField(token)) {
      builder.Field(*field);
    }
  }
  const std::string picture = builder.Take();
  return picture.empty() ? fallback : picture;
}

std::string ExpandTimeFormat(const std::string& timeFormat, const std::string& ampmFormat) {
  const Composites composites{{'T', "%H:%M:%S"},
                              {'R', "%H:%M"},
                              {'r', ampmFormat.empty() ? "%I:%M:%S %p" : ampmFormat},
                              {'X', timeFormat}};
  std::string beingExpanded = "X";
  return ExpandComposites(timeFormat, composites, beingExpanded);
}

TimeFormatTraits TraitsOfTimeFormat(const std::string& expandedTimeFormat) {
  TimeFormatTraits traits;
  bool hourSeen = false;
  for (const FormatToken& token : Tokenize(expandedTimeFormat)) {
    if (!token.IsConversion) continue;
    const char letter = token.Letter;
    if (letter == 'I' || letter == 'l' || letter == 'r' || letter == 'p' || letter == 'P') {
      traits.TwelveHour = true;
    }
    if ((letter == 'p' || letter == 'P') && !hourSeen) traits.MarkerFirst = true;
    if (!hourSeen && (letter == 'H' || letter == 'I' || letter == 'k' || letter == 'l')) {
      hourSeen = true;
      // %H and %I pad with zeros, %k and %l with blanks (which the pictures lack).
      const bool padsWithZero = letter == 'H' || letter == 'I';
      traits.LeadingZeroHours = ZeroPaddingOfFlags(token.Flags).value_or(padsWithZero);
    }
  }
  return traits;
}

std::string FirstLiteralSeparator(const std::string& format, const std::string& fallback) {
  const Composites composites{{'D', "%m/%d/%y"}, {'F', "%Y-%m-%d"}, {'T', "%H:%M:%S"}, {'R', "%H:%M"}};
  std::string beingExpanded;
  for (const FormatToken& token : Tokenize(ExpandComposites(format, composites, beingExpanded))) {
    if (token.IsConversion) continue;
    const bool multibyteLead = static_cast<unsigned char>(token.Literal) >= 0x80;
    return multibyteLead ? fallback : std::string(1, token.Literal);
  }
  return "";
}

TFormatSettings ReadSystemSettings() {
  std::setlocale(LC_ALL, "");
  TFormatSettings settings;
  ReadDateSettings(settings);
  ReadTimeSettings(settings);
  settings.DecimalSeparator = SeparatorOrDefault(nl_langinfo(RADIXCHAR), ".");
  ReadNames(settings.ShortMonthNames, {ABMON_1, ABMON_2, ABMON_3, ABMON_4, ABMON_5, ABMON_6, ABMON_7,
                                       ABMON_8, ABMON_9, ABMON_10, ABMON_11, ABMON_12});
  ReadNames(settings.LongMonthNames, {MON_1, MON_2, MON_3, MON_4, MON_5, MON_6, MON_7, MON_8, MON_9,
                                      MON_10, MON_11, MON_12});
  ReadNames(settings.ShortDayNames, {ABDAY_1, ABDAY_2, ABDAY_3, ABDAY_4, ABDAY_5, ABDAY_6, ABDAY_7});
  ReadNames(settings.LongDayNames, {DAY_1, DAY_2, DAY_3, DAY_4, DAY_5, DAY_6, DAY_7});
  return settings;
}

}  // namespace velmaron
