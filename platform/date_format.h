// Reading and writing moments in the system date-time settings.
#pragma once

#include <string>

#include "platform/settings.h"
#include "platform/stamp.h"

namespace velmaron {

// A date, a date and a time, or a time alone, in the settings' forms; the
// two-digit year window lies around currentYear. EConvertError otherwise.
TStamp ParseStamp(const std::string& text, const TFormatSettings& settings, int currentYear);

// One picture (ShortDateFormat, LongTimeFormat or any mix) applied to a moment.
std::string FormatPicture(const std::string& picture, TStamp value, const TFormatSettings& settings);

// The short date, then a blank and the long time unless h, m and s are all 0.
std::string FormatDefault(TStamp value, const TFormatSettings& settings);

}  // namespace velmaron
