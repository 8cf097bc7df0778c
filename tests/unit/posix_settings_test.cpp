#include "platform/posix/posix_settings.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "front/run_program.h"
#include "platform/date_format.h"
#include "platform/settings.h"

namespace velmaron {
namespace {

TEST(PictureFromStrftime, ConversionsBecomeFieldsAndLiteralsAreQuoted) {
  struct Case {
    const char* Format;
    const char* Separator;
    const char* Expected;
  };
  const Case cases[] = {
      {"%d.%m.%Y", ".", "dd/mm/yyyy"},
      {"%m/%d/%y", "/", "mm/dd/yy"},
      {"%D", "/", "mm/dd/yy"},
      {"%F", "-", "yyyy/mm/dd"},
      {"%e.%m.%Y", ".", "d/mm/yyyy"},
      {"%-d.%-m.%Y", ".", "d/m/yyyy"},
      {"%_d.%0e.%^b %#B", ".", "d/dd/mmm\" \"mmmm"},
      {"%a %A %h", " ", "ddd/dddd/mmm"},
      {"%Ey/%Om/%Od", "/", "yy/mm/dd"},
      {"%EC%Ey/%EY", "/", "yy/yyyy"},
      {"%Y年%m月%d日", "/", "yyyy\"年\"mm\"月\"dd\"日\""},
      {"%d %b, %Y", " ", "dd/mmm\",\"/yyyy"},
      // A literal that is not the separator keeps its own character.
      {"%d.%m/%Y", ".", "dd/mm\"/\"yyyy"},
      {"%Y. %m. %d.", ".", "yyyy/\" \"mm/\" \"dd/"},
      {"%d'%m\"%Y", "'", "dd/mm'\"'yyyy"},
      {"%d de %B de %Y", " ", "dd/\"de\"/mmmm/\"de\"/yyyy"},
      // Adjacent fields of one letter must not merge into a longer field.
      {"%d%e", "", "dd\"\"d"},
      {"%Y%y", "", "yyyy\"\"yy"},
      // Unknown conversions are dropped, %% %n %t are literals.
      {"%d.%m.%Y %H:%M %j%U", ".", "dd/mm/yyyy\" : \""},
      {"%d.%m.%Y%%", ".", "dd/mm/yyyy\"%\""},
      // %x inside the date format would refer to itself.
      {"%x %d", " ", "/dd"},
      {"%x", "", "m/d/yy"},
      {"", "/", "m/d/yy"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PictureFromStrftime(c.Format, c.Separator), c.Expected) << c.Format;
  }
}

// The picture must write what strftime writes (in the C locale's names) for a
// day whose fields need no padding, in any kind of date format.
TEST(PictureFromStrftime, PictureWritesWhatStrftimeWrites) {
  const char* formats[] = {
      "%d.%m.%Y",    "%m/%d/%y",   "%D",           "%F",          "%Y年%m月%d日", "%d %b, %Y",
      "%A %e %B %Y", "%d.%m/%Y",   "%Y. %m. %d.",  "%d'%m\"%Y",   "%d de %B de %Y", "%a, %d %h",
      "%d%m%Y",      "%e%d",       "%Y-%m-%d%%",   "'%d'/\"%m\"", "%Ey/%Om/%Od",  "AMPM hh %d",
  };
  std::tm tm{};
  tm.tm_year = 2008 - 1900;
  tm.tm_mon = 10;
  tm.tm_mday = 12;
  tm.tm_wday = 3;
  const TStamp day = EncodeDate(2008, 11, 12);
  for (const char* format : formats) {
    char expected[200];
    ASSERT_GT(std::strftime(expected, sizeof expected, format, &tm), 0u) << format;
    TFormatSettings settings;
    settings.DateSeparator = FirstLiteralSeparator(format, "/");
    const std::string picture = PictureFromStrftime(format, settings.DateSeparator);
    EXPECT_EQ(FormatPicture(picture, day, settings), expected) << format << " as " << picture;
  }
}

TEST(ExpandTimeFormat, CompositesAreSpelledOut) {
  struct Case {
    const char* Format;
    const char* Ampm;
    const char* Expected;
  };
  const Case cases[] = {
      {"%T", "", "%H:%M:%S"},
      {"%R", "", "%H:%M"},
      {"%r", "", "%I:%M:%S %p"},
      {"%r", "%p %I時%M分%S秒", "%p %I時%M分%S秒"},
      {"%Z %r", "%T %p", "%Z %H:%M:%S %p"},
      {"%r", "%r", ""},
      {"%X", "", ""},
      {"%%T", "", "%%T"},
      {"%H.%M.%S", "", "%H.%M.%S"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandTimeFormat(c.Format, c.Ampm), c.Expected) << c.Format << " / " << c.Ampm;
  }
}

TEST(TraitsOfTimeFormat, ClockAndMarkerPlace) {
  struct Case {
    const char* Format;
    bool LeadingZero, TwelveHour, MarkerFirst;
  };
  const Case cases[] = {
      {"%H:%M:%S", true, false, false},   {"%I:%M:%S %p", true, true, false},
      {"%p %I:%M:%S", true, true, true},  {"%P%I:%M", true, true, true},
      {"%l:%M %p", false, true, false},   {"%k:%M:%S", false, false, false},
      {"%-H:%M", false, false, false},    {"%_I:%M %P", false, true, false},
      {"%0k:%M", true, false, false},     {"%Z %I:%M:%S %p", true, true, false},
      {"%I.%M", true, true, false},       {"%M:%S", true, false, false},
      {"%H:%M %p", true, true, false},
  };
  for (const Case& c : cases) {
    const TimeFormatTraits traits = TraitsOfTimeFormat(c.Format);
    EXPECT_EQ(traits.LeadingZeroHours, c.LeadingZero) << c.Format;
    EXPECT_EQ(traits.TwelveHour, c.TwelveHour) << c.Format;
    EXPECT_EQ(traits.MarkerFirst, c.MarkerFirst) << c.Format;
  }
}

TEST(FirstLiteralSeparator, FirstLiteralOfTheExpandedFormat) {
  struct Case {
    const char* Format;
    const char* Expected;
  };
  const Case cases[] = {
      {"%d.%m.%Y", "."}, {"%D", "/"},         {"%F", "-"},    {"%T", ":"},
      {"%R", ":"},       {"%H.%M.%S", "."},   {"%A %e %B", " "}, {"%Y年%m月%d日", "#"},
      {"%Y%m%d", ""},    {"", ""},            {"%%d", "%"},   {"%Z %I:%M", " "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FirstLiteralSeparator(c.Format, "#"), c.Expected) << c.Format;
  }
}

bool LocaleInstalled(const char* name) {
  locale_t probe = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
  if (probe == static_cast<locale_t>(nullptr)) return false;
  freelocale(probe);
  return true;
}

// Reads the settings as the program does, with LC_ALL naming the locale;
// the environment and the process locale are put back afterwards.
TFormatSettings SettingsOfLocale(const char* name) {
  std::optional<std::string> savedVariable;
  if (const char* old = std::getenv("LC_ALL")) savedVariable = old;
  const std::string savedLocale = std::setlocale(LC_ALL, nullptr);
  setenv("LC_ALL", name, 1);
  const TFormatSettings settings = ReadSystemSettings();
  if (savedVariable) {
    setenv("LC_ALL", savedVariable->c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  std::setlocale(LC_ALL, savedLocale.c_str());
  return settings;
}

TEST(ReadSystemSettings, HintsOfWellKnownLocales) {
  struct Case {
    const char* Locale;
    const char* Hint;
  };
  const Case cases[] = {
      {"C", "MM/DD/33 HH:NN:SS"},
      {"en_US.UTF-8", "MM/DD/YYYY 01:NN:SS PM"},
      {"de_DE.UTF-8", "DD.MM.YYYY HH:NN:SS"},
  };
  for (const Case& c : cases) {
    if (!LocaleInstalled(c.Locale)) GTEST_SKIP() << c.Locale << " is not installed";
    EXPECT_EQ(FormatHint(SettingsOfLocale(c.Locale)), c.Hint) << c.Locale;
  }
}

TEST(ReadSystemSettings, NamesAndNumbersOfGermanLocale) {
  if (!LocaleInstalled("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const TFormatSettings settings = SettingsOfLocale("de_DE.UTF-8");
  EXPECT_EQ(settings.DecimalSeparator, ",");
  EXPECT_EQ(settings.DateSeparator, ".");
  EXPECT_EQ(settings.TimeSeparator, ":");
  EXPECT_EQ(settings.LongMonthNames[2], "März");
  EXPECT_EQ(settings.ShortMonthNames[11], "Dez");
  EXPECT_EQ(settings.LongDayNames[0], "Sonntag");
  EXPECT_EQ(settings.ShortDayNames[6], "Sa");
  // An empty marker stays empty rather than falling back to "am".
  EXPECT_EQ(settings.TimeAMString, "");
  EXPECT_EQ(ParseStamp("12.11.2008 13:44:55,5", settings, 2026),
            CombineDateTime(EncodeDate(2008, 11, 12), EncodeTime(13, 44, 55, 5)));
}

// Whatever a locale's formats look like, reading them and writing and reading
// a moment must work or fail cleanly; a moment read back must be the one written.
TEST(ReadSystemSettings, ManyLocalesReadWriteAndParseBack) {
  const char* locales[] = {
      "C",           "POSIX",       "en_US.UTF-8", "en_GB.UTF-8", "en_AU.UTF-8", "en_CA.UTF-8",
      "en_IN.UTF-8", "de_DE.UTF-8", "de_CH.UTF-8", "fr_FR.UTF-8", "fr_CA.UTF-8", "it_IT.UTF-8",
      "es_ES.UTF-8", "es_MX.UTF-8", "pt_BR.UTF-8", "pt_PT.UTF-8", "nl_NL.UTF-8", "sv_SE.UTF-8",
      "nb_NO.UTF-8", "da_DK.UTF-8", "fi_FI.UTF-8", "pl_PL.UTF-8", "cs_CZ.UTF-8", "hu_HU.UTF-8",
      "ro_RO.UTF-8", "bg_BG.UTF-8", "ru_RU.UTF-8", "uk_UA.UTF-8", "el_GR.UTF-8", "tr_TR.UTF-8",
      "he_IL.UTF-8", "ar_SA.UTF-8", "ar_EG.UTF-8", "fa_IR.UTF-8", "hi_IN.UTF-8", "th_TH.UTF-8",
      "ja_JP.UTF-8", "ko_KR.UTF-8", "zh_CN.UTF-8", "zh_TW.UTF-8", "vi_VN.UTF-8", "lt_LT.UTF-8",
      "lv_LV.UTF-8", "et_EE.UTF-8", "ka_GE.UTF-8", "am_ET.UTF-8", "my_MM.UTF-8", "ps_AF.UTF-8",
      "de_DE",       "ja_JP.eucjp", "zh_TW.big5",  "ar_EG",
  };
  // Years within the window around 2026, as some locales write two digits.
  const TStamp moments[] = {
      CombineDateTime(EncodeDate(2033, 11, 12), EncodeTime(13, 44, 55, 0)),
      CombineDateTime(EncodeDate(2008, 1, 2), EncodeTime(3, 4, 5, 600)),
      EncodeDate(1999, 12, 31),
  };
  int installed = 0, readBack = 0;
  for (const char* name : locales) {
    if (!LocaleInstalled(name)) continue;
    ++installed;
    const TFormatSettings settings = SettingsOfLocale(name);
    EXPECT_LE(settings.DateSeparator.size(), 1u) << name;
    EXPECT_LE(settings.TimeSeparator.size(), 1u) << name;
    EXPECT_LE(settings.DecimalSeparator.size(), 1u) << name;
    EXPECT_FALSE(settings.ShortDateFormat.empty()) << name;
    for (TStamp moment : moments) {
      const std::string text = FormatDefault(moment, settings);
      EXPECT_FALSE(text.empty()) << name;
      try {
        const TStamp parsed = ParseStamp(text, settings, 2026);
        EXPECT_NEAR(parsed, moment, 1.0 / 86400) << name << ": " << text;
        ++readBack;
      } catch (const EConvertError&) {
        // Month names or words in the date: not a form the parse reads.
      }
    }
  }
  if (installed == 0) GTEST_SKIP() << "none of the locales is installed";
  EXPECT_GT(readBack, 0);
}

}  // namespace
}  // namespace velmaron
