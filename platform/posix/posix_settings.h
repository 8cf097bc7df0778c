// Mapping the C library's locale formats onto the program's pictures.
#pragma once

#include <string>

namespace velmaron {

// "%d.%m.%Y" with separator "." -> "dd/mm/yyyy": conversions become picture
// fields, composites (%D, %F, %x) are expanded, a literal equal to the date
// separator becomes the picture's "/", other literal text is quoted. An empty
// format gives "m/d/yy".
std::string PictureFromStrftime(const std::string& dateFormat, const std::string& dateSeparator);

// What a strftime time format says about the clock.
struct TimeFormatTraits {
  bool LeadingZeroHours = true;
  bool TwelveHour = false;
  bool MarkerFirst = false;
};
// timeFormat with %T, %R and %r expanded (%r given as ampmFormat).
std::string ExpandTimeFormat(const std::string& timeFormat, const std::string& ampmFormat);
TimeFormatTraits TraitsOfTimeFormat(const std::string& expandedTimeFormat);

// The first literal character of a strftime format, as a separator: one byte
// stays, a multibyte character gives the fallback, no literal gives "".
std::string FirstLiteralSeparator(const std::string& format, const std::string& fallback);

}  // namespace velmaron
