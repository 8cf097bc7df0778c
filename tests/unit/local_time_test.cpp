#include "platform/posix/local_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

namespace velmaron {
namespace {

using namespace std::chrono;

// Runs the test in a fixed zone with summer time, whatever the machine's zone.
class BerlinTime : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("TZ")) savedZone_ = old;
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
  }
  void TearDown() override {
    if (savedZone_) {
      setenv("TZ", savedZone_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::optional<std::string> savedZone_;
};

std::time_t UtcSeconds(year_month_day date, hours h, minutes m = minutes{0}, seconds s = seconds{0}) {
  return static_cast<std::time_t>((sys_days{date} + h + m + s).time_since_epoch().count());
}

TEST_F(BerlinTime, WinterAndSummerUseTheRulesOfThatDate) {
  struct Case {
    const char* Season;
    year_month_day Date;
    hours OffsetFromUtc;
  };
  const Case cases[] = {
      {"winter", 2021y / January / 15, hours{1}},
      {"summer", 2021y / July / 15, hours{2}},
      {"winter of the first year", 1980y / February / 1, hours{1}},
      {"summer far ahead", 2100y / August / 1, hours{2}},
  };
  for (const Case& c : cases) {
    const TDosDate local = PackDosDate(static_cast<int>(c.Date.year()),
                                       static_cast<int>(static_cast<unsigned>(c.Date.month())),
                                       static_cast<int>(static_cast<unsigned>(c.Date.day())), 12, 30, 44);
    std::time_t utc = 0;
    ASSERT_TRUE(LocalDosDateToUtc(local, utc)) << c.Season;
    EXPECT_EQ(utc, UtcSeconds(c.Date, hours{12} - c.OffsetFromUtc, minutes{30}, seconds{44})) << c.Season;
    EXPECT_EQ(UtcToLocalDosDate(utc), local) << c.Season;
  }
}

TEST_F(BerlinTime, UtcToLocalRoundsOddSecondsDownAndKeepsToTheDosYears) {
  struct Case {
    const char* Name;
    std::time_t Utc;
    TDosDate Expected;
  };
  const Case cases[] = {
      {"odd second", UtcSeconds(2021y / January / 15, hours{11}, minutes{0}, seconds{3}),
       PackDosDate(2021, 1, 15, 12, 0, 2)},
      {"local 1979", UtcSeconds(1979y / December / 31, hours{22}, minutes{59}, seconds{59}), 0},
      {"local 1980 while UTC is still 1979", UtcSeconds(1979y / December / 31, hours{23}, minutes{30}),
       PackDosDate(1980, 1, 1, 0, 30, 0)},
      {"local 2107", UtcSeconds(2107y / December / 31, hours{22}, minutes{59}, seconds{58}),
       PackDosDate(2107, 12, 31, 23, 59, 58)},
      {"local 2108 while UTC is still 2107", UtcSeconds(2107y / December / 31, hours{23}, minutes{30}), 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UtcToLocalDosDate(c.Utc), c.Expected) << c.Name;
  }
}

TEST_F(BerlinTime, LocalToUtcRejectsNoDateAndFieldsOutOfRange) {
  const TDosDate valid = PackDosDate(2021, 1, 15, 12, 0, 0);
  const TDosDate cases[] = {
      0,
      valid | (15u << 21),               // month 15
      (valid & ~(31u << 16)),            // day 0
      valid | (24u << 11),               // hour 24
      valid | (60u << 5),                // minute 60
      valid | 30u,                       // 60 seconds
      PackDosDate(2021, 2, 29, 12, 0, 0),
  };
  for (TDosDate date : cases) {
    std::time_t utc = 12345;
    EXPECT_FALSE(LocalDosDateToUtc(date, utc)) << std::hex << date;
    EXPECT_EQ(utc, 12345) << "left as it was";
  }
}

}  // namespace
}  // namespace velmaron
