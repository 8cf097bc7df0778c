#include <gtest/gtest.h>

#include "front/run_program.h"
#include "support/memory_disk.h"
#include "support/recording_console.h"

namespace velmaron {
namespace {

using testing::MemoryDisk;
using testing::RecordingConsole;

TFormatSettings GermanLike() {
  TFormatSettings s;
  s.DateSeparator = ".";
  s.TimeSeparator = ":";
  s.ShortDateFormat = "dd.mm.yyyy";
  s.LongTimeFormat = BuildLongTimeFormat(true, false, false);
  return s;
}

const char kUsage[] =
    "VELMARON   Timestamp Touch Utility      Version 1.4.1   2008-06-15\r\n"
    "\r\n"
    "Changes the creation/last modification timestamp of a subdirectory to the\r\n"
    "creation/last modification timestamp of the oldest file of that directory,\r\n"
    "or a given timestamp.\r\n"
    "The directory name must not contain blanks (bracket syntax is not supported).\r\n"
    "\r\n"
    "Syntax: VELMARON <directory> [/S] [/T] [/N] [timestamp]\r\n"
    "        timestamp | VELMARON <directory> /P [/S] [/T] [/N]\r\n"
    "\r\n"
    "Optional parameters:\r\n"
    "  /S - process also sub-directories (default off)\r\n"
    "  /T - use current timestamp (default off)\r\n"
    "  /N - use the newest instead of the oldest timestamp\r\n"
    "  /P - use timestamp from piped input\r\n"
    "  timestamp - a given timestamp in your actual system timestamp format\r\n"
    "\r\n"
    "Your system timestamp format is: 'DD.MM.YYYY HH:NN:SS'.\r\n"
    "(DD = day, MM = month, YYYY = year, HH = hours, NN = minutes, SS = seconds)\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "\r\n"
    "\r\n";

TEST(UsageScreen, IsTwentyFourLinesWithTheHintOfTheSettings) {
  RecordingConsole console;
  ShowUsage(console, GermanLike());
  EXPECT_EQ(console.output, kUsage);
}

TEST(ReplaceFirst, ReplacesOnlyTheFirstOccurrence) {
  struct Case {
    const char *text, *find, *repl, *expected;
  };
  for (const Case c : {Case{"a11b11", "11", "MM", "aMMb11"}, Case{"abc", "x", "y", "abc"},
                       Case{"11", "11", "", ""}, Case{"3333-11", "3333", "YYYY", "YYYY-11"}}) {
    std::string s = c.text;
    ReplaceFirst(s, c.find, c.repl);
    EXPECT_EQ(s, c.expected) << c.text;
  }
}

// A small tree: "photos" holds one file from 2003 and one from 2005, and a
// subdirectory holding a file from 2001.
class RunProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    disk = MemoryDisk();
    disk.AddDir("photos", PackDosDate(2020, 1, 1, 0, 0, 0));
    disk.AddFile("photos/a.jpg", PackDosDate(2003, 1, 1, 0, 0, 0));
    disk.AddFile("photos/b.jpg", PackDosDate(2005, 1, 1, 0, 0, 0));
    disk.AddDir("photos/sub", PackDosDate(2004, 1, 1, 0, 0, 0));
    disk.AddFile("photos/sub/c.jpg", PackDosDate(2001, 1, 1, 0, 0, 0));
  }
  int Run(std::vector<std::string> args, std::string input = {}) {
    console = RecordingConsole(std::move(input));
    ProgramHost host{std::move(args), GermanLike(), [] { return EncodeDate(2012, 6, 15) + EncodeTime(9, 30, 7, 600); },
                     console, disk};
    host.IsPathArgument = [](const std::string& arg) { return arg == "/abs/photos"; };
    return RunProgram(host);
  }
  MemoryDisk disk;
  RecordingConsole console;
};

TEST_F(RunProgramTest, ArgumentScan) {
  struct Case {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string output;        // "usage" for the usage screen alone
    TDosDate photos, sub;      // expected times afterwards
    int linesRead;
  };
  const TDosDate untouched = PackDosDate(2020, 1, 1, 0, 0, 0);
  const TDosDate subBefore = PackDosDate(2004, 1, 1, 0, 0, 0);
  const TDosDate oldest = PackDosDate(2003, 1, 1, 0, 0, 0);
  const TDosDate newest = PackDosDate(2005, 1, 1, 0, 0, 0);
  const TDosDate given = PackDosDate(2007, 12, 31, 13, 0, 0);
  const TDosDate now = PackDosDate(2012, 6, 15, 9, 30, 6);
  const std::string invalid = "Invalid timestamp: '";
  const Case cases[] = {
      {{"/S"}, "", 2, "usage", untouched, subBefore, 0},
      {{}, "", 2, "usage", untouched, subBefore, 0},
      {{"photos", "/?"}, "", 0, "usage", untouched, subBefore, 0},
      {{"photos", "/s", "--version"}, "", 0, "usage", untouched, subBefore, 0},
      {{"-?", "photos"}, "", 0, "usage", untouched, subBefore, 0},
      {{"/h"}, "", 0, "usage", untouched, subBefore, 0},
      {{"photos"}, "", 0, "", oldest, subBefore, 0},
      {{"/s", "photos"}, "", 0, "", PackDosDate(2001, 1, 1, 0, 0, 0), PackDosDate(2001, 1, 1, 0, 0, 0), 0},
      {{"photos", "/N"}, "", 0, "", newest, subBefore, 0},
      {{"photos", "/X"}, "", 0, "", oldest, subBefore, 0},
      {{"photos", "31.12.2007", "13:00"}, "", 0, "", given, subBefore, 0},
      {{"photos", "/S", "31.12.2007 13:00"}, "", 0, "", given, given, 0},
      {{"photos", "/T"}, "", 0, "", now, subBefore, 0},
      {{"photos", "/c"}, "", 0, "", now, subBefore, 0},
      {{"photos", "nonsense", "/T"}, "", 0, "", now, subBefore, 0},
      {{"photos", "/P"}, "31.12.2007 13:00\r\nignored\n", 0, "", given, subBefore, 1},
      {{"photos", "/P", "01.01.2001"}, "31.12.2007 13:00\n", 0, "", given, subBefore, 1},
      {{"photos", "/P"}, "\n", 0, "", oldest, subBefore, 1},
      {{"photos", "/P", "/T"}, "31.12.2007 13:00\n", 0, "", now, subBefore, 0},
      {{"photos", "31.12.9999"}, "", 0, "", oldest, subBefore, 0},
      {{"photos", "nonsense"}, "", 0, invalid + "nonsense'.\r\n\r\n", untouched, subBefore, 0},
      {{"photos", "dir2"}, "", 0, invalid + "dir2'.\r\n\r\n", untouched, subBefore, 0},
      {{"photos", "-s"}, "", 0, invalid + "-s'.\r\n\r\n", untouched, subBefore, 0},
      {{"photos", "/P"}, "12.11.2008\t13:44\n", 0, invalid + "12.11.2008\t13:44'.\r\n\r\n", untouched, subBefore, 1},
      {{"--help"}, "", 0, "", untouched, subBefore, 0},
      {{"/abs/photos"}, "", 0, "", untouched, subBefore, 0},
      {{"/abs/other"}, "", 2, "usage", untouched, subBefore, 0},
  };
  for (const Case& c : cases) {
    std::string label;
    for (const auto& a : c.args) label += a + " ";
    SCOPED_TRACE(label);
    SetUp();
    const int code = Run(c.args, c.input);
    EXPECT_EQ(code, c.exitCode);
    const bool invalidReport = c.output.rfind(invalid, 0) == 0;
    const std::string expected = c.output == "usage" ? kUsage : invalidReport ? c.output + kUsage : c.output;
    EXPECT_EQ(console.output, expected);
    EXPECT_EQ(console.beeps, invalidReport ? 1 : 0);
    EXPECT_EQ(disk.TimeOf("photos"), c.photos);
    EXPECT_EQ(disk.TimeOf("photos/sub"), c.sub);
    EXPECT_EQ(console.linesRead, c.linesRead);
  }
}

}  // namespace
}  // namespace velmaron
