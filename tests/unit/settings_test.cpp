#include "platform/settings.h"

#include <gtest/gtest.h>

namespace velmaron {
namespace {

TEST(BuildLongTimeFormat, MarkerOnlyOnTheTwelveHourClock) {
  struct Case {
    bool LeadingZero, TwelveHour, MarkerFirst;
    const char* Expected;
  };
  const Case cases[] = {
      {true, false, false, "hh:mm:ss"},      {false, false, false, "h:mm:ss"},
      {true, false, true, "hh:mm:ss"},       {false, true, false, "h:mm:ss AMPM"},
      {true, true, false, "hh:mm:ss AMPM"},  {false, true, true, "AMPM h:mm:ss"},
      {true, true, true, "AMPM hh:mm:ss"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildLongTimeFormat(c.LeadingZero, c.TwelveHour, c.MarkerFirst), c.Expected)
        << c.LeadingZero << c.TwelveHour << c.MarkerFirst;
  }
}

TEST(SeparatorOrDefault, OneByteStaysEmptyMeansNoneElseFallback) {
  struct Case {
    const char* Value;
    const char* Expected;
  };
  const Case cases[] = {
      {".", "."}, {",", ","}, {"", ""}, {nullptr, "/"}, {"::", "/"},
      {"\xd9\xab", "/"},  // the Arabic decimal separator, two bytes in UTF-8
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SeparatorOrDefault(c.Value, "/"), c.Expected) << (c.Value ? c.Value : "(null)");
  }
}

}  // namespace
}  // namespace velmaron
