// Reads a fuzzer's input from the front: a few bytes of choices, then text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/settings.h"

namespace velmaron::fuzz {

class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // The next byte, 0 once the input is used up.
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }

  std::uint16_t Word() {
    const std::uint16_t high = Byte();
    return static_cast<std::uint16_t>(high << 8 | Byte());
  }

  // A length byte (below limit) and that many bytes.
  std::string Short(std::size_t limit) {
    std::size_t length = Byte() % limit;
    if (length > size_ - pos_) length = size_ - pos_;
    std::string text(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length;
    return text;
  }

  // Whatever is left.
  std::string Rest() {
    std::string text(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
    pos_ = size_;
    return text;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// A separator as the locale reader can hand it over: no byte (0) or one byte.
inline std::string Separator(std::uint8_t byte) {
  return byte == 0 ? std::string() : std::string(1, static_cast<char>(byte));
}

// Settings from the input: the three separators, a short date picture (one of
// the usual ones or free bytes), the long time picture the locale reader would
// build, and the day-half markers. Month and day names stay the defaults.
inline TFormatSettings ReadSettings(ByteReader& in) {
  static const char* const kShortDates[] = {"dd.mm.yyyy", "d/m/yyyy", "m/d/yy",  "yyyy-mm-dd",
                                            "yy/mm/dd",   "d.m.yy",   "mm/dd/yyyy", "dd MMM yyyy"};
  static const char* const kMarkers[][2] = {{"am", "pm"}, {"", ""}, {"AM", "PM"}, {"vorm.", "nachm."}};
  TFormatSettings s;
  s.DateSeparator = Separator(in.Byte());
  s.TimeSeparator = Separator(in.Byte());
  s.DecimalSeparator = Separator(in.Byte());
  const std::uint8_t picture = in.Byte();
  s.ShortDateFormat = picture < 0x80 ? std::string(kShortDates[picture % 8]) : in.Short(24);
  const std::uint8_t flags = in.Byte();
  s.LongTimeFormat = BuildLongTimeFormat(flags & 1, flags & 2, flags & 4);
  const unsigned markers = (flags >> 3) & 7;
  if (markers < 4) {
    s.TimeAMString = kMarkers[markers][0];
    s.TimePMString = kMarkers[markers][1];
  } else {
    s.TimeAMString = in.Short(8);
    s.TimePMString = in.Short(8);
  }
  return s;
}

[[noreturn]] inline void Fail(const char* what, const std::string& detail = std::string()) {
  std::fprintf(stderr, "fuzz check failed: %s %s\n", what, detail.c_str());
  std::abort();
}

}  // namespace velmaron::fuzz
