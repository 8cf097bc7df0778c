#include <gtest/gtest.h>

#include "engine/touch.h"
#include "support/memory_disk.h"
#include "support/recording_console.h"

namespace velmaron {
namespace {

using testing::MemoryDisk;
using testing::RecordingConsole;

TDosDate Dos(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return PackDosDate(y, mo, d, h, mi, s);
}

TStamp At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, 0);
}

class EngineTest : public ::testing::Test {
 protected:
  void Touch(const std::string& dir, bool recurse, bool newest, TStamp stamp) {
    TouchDirectory(disk, console, dir, recurse, newest, stamp);
  }
  MemoryDisk disk;
  RecordingConsole console;
};

TEST_F(EngineTest, SubdirectoriesComeFirstInSearchOrderAndTheNamedDirectoryLast) {
  disk.AddDir("top", Dos(2000, 1, 1));
  disk.AddDir("top/E", Dos(2000, 1, 1));
  disk.AddDir("top/B", Dos(2000, 1, 1));
  disk.AddDir("top/B/C", Dos(2000, 1, 1));
  const TDosDate given = Dos(2008, 11, 12, 13, 44, 54);
  Touch("top", true, false, At(2008, 11, 12, 13, 44, 55));
  const std::string d = std::to_string(given);
  EXPECT_EQ(disk.SetLog(), (std::vector<std::string>{"top/E=" + d, "top/B/C=" + d, "top/B=" + d, "top=" + d}));
  EXPECT_EQ(console.output, "");
}

TEST_F(EngineTest, ParentsTakeTheirSubdirectoriesNewTimes) {
  disk.AddDir("top", Dos(2020, 1, 1));
  disk.AddDir("top/only", Dos(2020, 1, 1));
  disk.AddFile("top/only/a.jpg", Dos(2003, 5, 6, 7, 8, 10));
  disk.AddFile("top/only/b.jpg", Dos(2004, 1, 1));
  Touch("top", true, false, MaxStamp);
  EXPECT_EQ(disk.TimeOf("top/only"), Dos(2003, 5, 6, 7, 8, 10));
  EXPECT_EQ(disk.TimeOf("top"), Dos(2003, 5, 6, 7, 8, 10));
}

TEST_F(EngineTest, OldestAndNewestIgnoreHiddenAndSystemEntries) {
  struct Case {
    bool newest;
    TDosDate expected;
  };
  for (const Case c : {Case{false, Dos(2001, 2, 3)}, Case{true, Dos(2005, 6, 7)}}) {
    MemoryDisk d;
    d.AddDir("top", Dos(2020, 1, 1));
    d.AddFile("top/old-hidden", Dos(1990, 1, 1), faHidden);
    d.AddFile("top/new-system", Dos(2030, 1, 1), faSysFile);
    d.AddDir("top/hidden-dir", Dos(1985, 1, 1), faHidden);
    d.AddFile("top/hidden-dir/inside", Dos(1981, 1, 1));
    d.AddFile("top/a", Dos(2001, 2, 3));
    d.AddFile("top/b", Dos(2005, 6, 7));
    d.AddFile("top/c", Dos(2003, 1, 1));
    TouchDirectory(d, console, "top", true, c.newest, MaxStamp);
    EXPECT_EQ(d.TimeOf("top"), c.expected) << "newest=" << c.newest;
    // A hidden subdirectory is neither entered nor counted.
    EXPECT_EQ(d.TimeOf("top/hidden-dir"), Dos(1985, 1, 1));
  }
}

TEST_F(EngineTest, EqualOldestTimesAndUnpackableEntriesAreHandled) {
  disk.AddDir("top", Dos(2020, 1, 1));
  disk.AddFile("top/unpackable", kNoEntryTime);
  disk.AddFile("top/first", Dos(2002, 2, 2));
  disk.AddFile("top/second", Dos(2002, 2, 2));
  EXPECT_EQ(ExtremeEntryStamp(disk, "top", false), At(2002, 2, 2));
  EXPECT_EQ(ExtremeEntryStamp(disk, "top", true), At(2002, 2, 2));
}

TEST_F(EngineTest, NoDateIsPassedOnAndItsFailureReported) {
  // An empty directory, and given times outside the DOS range, all give D = 0.
  for (const TStamp stamp : {MaxStamp, At(1979, 12, 31, 23, 59, 59), At(2108, 1, 1), EncodeTime(13, 44, 0, 0)}) {
    MemoryDisk d;
    RecordingConsole c;
    d.AddDir("empty", Dos(2020, 1, 1));
    TouchDirectory(d, c, "empty", false, false, stamp);
    EXPECT_EQ(c.output, "Error 87\r\n") << stamp;
    EXPECT_EQ(d.TimeOf("empty"), Dos(2020, 1, 1));
  }
}

TEST_F(EngineTest, FailuresAreReportedOrPassedOverAndTheWalkGoesOn) {
  disk.AddDir("top", Dos(2020, 1, 1));
  disk.AddDir("top/denied", Dos(2020, 1, 1));
  disk.AddDir("top/unopenable", Dos(2020, 1, 1));
  disk.AddDir("top/unopenable/child", Dos(2020, 1, 1));
  disk.AddDir("top/unsearchable", Dos(2020, 1, 1));
  disk.AddDir("top/unsearchable/child", Dos(2020, 1, 1));
  disk.AddDir("top/fine", Dos(2020, 1, 1));
  disk.FailSet("top/denied", 5);
  disk.FailOpen("top/unopenable");
  disk.FailSearch("top/unsearchable");
  const std::string d = std::to_string(Dos(2010, 1, 1));
  Touch("top", true, false, At(2010, 1, 1));
  EXPECT_EQ(console.output, "Error 5\r\n");
  EXPECT_EQ(disk.SetLog(), (std::vector<std::string>{"top/unopenable/child=" + d, "top/unsearchable=" + d,
                                                     "top/fine=" + d, "top=" + d}));
  EXPECT_EQ(disk.OpenHandles(), 0);
  EXPECT_EQ(disk.OpenSearches(), 0);
}

TEST_F(EngineTest, AnInvalidEntryTimeEndsTheWalkWithEverySearchClosed) {
  disk.AddDir("top", Dos(2020, 1, 1));
  disk.AddDir("top/a", Dos(2020, 1, 1));
  disk.AddFile("top/a/ok", Dos(2001, 1, 1));
  disk.AddDir("top/b", Dos(2020, 1, 1));
  disk.AddDir("top/b/deep", Dos(2020, 1, 1));
  disk.AddFile("top/b/deep/bad", Dos(2001, 13, 1));  // month 13
  disk.AddDir("top/c", Dos(2020, 1, 1));
  EXPECT_THROW(Touch("top", true, false, MaxStamp), EConvertError);
  EXPECT_EQ(disk.OpenSearches(), 0);
  EXPECT_EQ(disk.OpenHandles(), 0);
  // What was set before the fault keeps its new time; nothing after it is set.
  EXPECT_EQ(disk.SetLog(), (std::vector<std::string>{"top/a=" + std::to_string(Dos(2001, 1, 1))}));
}

TEST_F(EngineTest, TheNamedDirectoryIsSetEvenWhenHiddenAndNothingElseWithoutRecurse) {
  disk.AddDir("top", Dos(2020, 1, 1), faHidden | faSysFile);
  disk.AddDir("top/sub", Dos(2020, 1, 1));
  Touch("top", false, false, At(2011, 3, 4, 10, 0, 3));
  EXPECT_EQ(disk.TimeOf("top"), Dos(2011, 3, 4, 10, 0, 2));
  EXPECT_EQ(disk.TimeOf("top/sub"), Dos(2020, 1, 1));
}

}  // namespace
}  // namespace velmaron
