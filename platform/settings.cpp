#include "platform/settings.h"

#include <cstring>

namespace velmaron {

std::string BuildLongTimeFormat(bool leadingZeroHours, bool twelveHour, bool markerFirst) {
  std::string picture;
  if (twelveHour && markerFirst) picture += "AMPM ";
  picture += leadingZeroHours ? "hh" : "h";
  picture += ":mm:ss";
  if (twelveHour && !markerFirst) picture += " AMPM";
  return picture;
}

std::string SeparatorOrDefault(const char* localeValue, const std::string& fallback) {
  if (localeValue == nullptr) return fallback;
  // The parse and the pictures deal in single bytes; a longer separator
  // (a multibyte character, say) cannot be matched, so the default stands in.
  const std::size_t length = std::strlen(localeValue);
  return length <= 1 ? std::string(localeValue) : fallback;
}

}  // namespace velmaron
