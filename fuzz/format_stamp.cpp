// FormatPicture and FormatDefault with a fuzzed picture, settings and moment.
// A moment no calendar date stands for (NaN, infinities, far outside years
// 1..9999) is refused with EConvertError; any real moment formats without a
// throw, and "yyyy" always gives its year.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/date_format.h"
#include "platform/stamp.h"

using namespace velmaron;

namespace {

// Stamps of 1 January 0001 and of the day after 31 December 9999.
const TStamp kFirst = EncodeDate(1, 1, 1);
const TStamp kAfterLast = MaxStamp + 1;

bool Representable(TStamp value) {
  return std::isfinite(value) && value > kFirst - 1 && value < kAfterLast;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteReader in(data, size);
  const TFormatSettings settings = fuzz::ReadSettings(in);
  // Either any 64-bit pattern, or a day and a time of day in the usual range.
  TStamp value = 0;
  std::uint64_t bits = 0;
  for (int i = 0; i < 8; ++i) bits = bits << 8 | in.Byte();
  if (in.Byte() & 1) {
    std::memcpy(&value, &bits, sizeof value);
  } else {
    const double day = static_cast<double>(static_cast<std::int64_t>(bits % 3'700'000) - 700'000);
    const double time = static_cast<double>(bits >> 32) / 4294967296.0;
    value = CombineDateTime(day, time);
  }
  const std::string picture = in.Rest();

  bool refused = false;
  try {
    (void)FormatPicture(picture, value, settings);
    (void)FormatDefault(value, settings);
  } catch (const EConvertError&) {
    refused = true;
  }
  if (refused && Representable(value)) fuzz::Fail("refused a real moment", std::to_string(value));
  if (!std::isfinite(value) && !refused) fuzz::Fail("formatted a moment that is no number");

  if (Representable(value)) {
    const TStampFields f = DecodeStamp(value);
    const std::string year = FormatPicture("yyyy", value, settings);
    if (f.Year >= 1 && f.Year <= 9999 && std::stoi(year) != f.Year) fuzz::Fail("yyyy gave", year);
  }
  return 0;
}
