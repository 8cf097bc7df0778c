// ParseStamp on fuzzed text under fuzzed settings and current year: it either
// rejects the text with EConvertError or yields a moment the rest of the
// program can use (years 1..9999, a time of day before 24:00) and format.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input.h"
#include "platform/date_format.h"
#include "platform/dos_date.h"
#include "platform/stamp.h"

using namespace velmaron;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteReader in(data, size);
  const TFormatSettings settings = fuzz::ReadSettings(in);
  const int currentYear = 1 + in.Word() % 9999;
  const std::string text = in.Rest();

  TStamp value = 0;
  try {
    value = ParseStamp(text, settings, currentYear);
  } catch (const EConvertError&) {
    return 0;
  }
  const TStampFields f = DecodeStamp(value);
  if (f.Year < 1 || f.Year > 9999) fuzz::Fail("year out of range for", text);
  if (f.Month < 1 || f.Month > 12 || f.Day < 1 || f.Day > 31) fuzz::Fail("impossible date for", text);
  if (f.Hour < 0 || f.Hour >= 24 || f.Minute < 0 || f.Minute >= 60 || f.Second < 0 || f.Second >= 60)
    fuzz::Fail("impossible time for", text);
  // What the engine does with a given moment.
  const TDosDate packed = StampToDosDate(value);
  if (packed != 0 && !UnpackDosDate(packed)) fuzz::Fail("unpackable DOS date for", text);
  (void)FormatDefault(value, settings);
  return 0;
}
