#include "platform/posix/local_time.h"

#include <algorithm>
#include <optional>

namespace velmaron {

TDosDate UtcToLocalDosDate(std::time_t seconds) {
  std::tm local{};
  // localtime_r applies the zone rules of that date, not of today.
  if (localtime_r(&seconds, &local) == nullptr) return 0;
  // A leap second (60) would not fit the five-bit half-seconds field.
  const int second = std::min(local.tm_sec, 59);
  return PackDosDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     second);
}

bool LocalDosDateToUtc(TDosDate date, std::time_t& seconds) {
  const std::optional<TStampFields> fields = UnpackDosDate(date);
  if (!fields) return false;
  std::tm local{};
  local.tm_year = fields->Year - 1900;
  local.tm_mon = fields->Month - 1;
  local.tm_mday = fields->Day;
  local.tm_hour = fields->Hour;
  local.tm_min = fields->Minute;
  local.tm_sec = fields->Second;
  local.tm_isdst = -1;  // let the rules of that date decide about summer time
  const std::time_t result = std::mktime(&local);
  // Every DOS date lies after 1980, so -1 can only be mktime's failure.
  if (result == static_cast<std::time_t>(-1)) return false;
  seconds = result;
  return true;
}

}  // namespace velmaron
