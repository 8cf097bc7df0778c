#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/touch.h"
#include "platform/posix/posix_disk.h"
#include "support/recording_console.h"

namespace velmaron {
namespace {

namespace fs = std::filesystem;
using testing::RecordingConsole;

// Checks the descriptor bound after every call, and can act in the middle of
// the walk as another user of the tree might.
class WatchedDisk : public PosixDisk {
 public:
  using PosixDisk::PosixDisk;
  std::function<void(const std::string&)> beforeSearch;
  std::size_t mostOpen = 0;
  int FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes times, TSearchRec& rec) override {
    if (beforeSearch) beforeSearch(dir);
    return Watch(PosixDisk::FindFirst(dir, attrs, times, rec));
  }
  int FindNext(TSearchRec& rec) override { return Watch(PosixDisk::FindNext(rec)); }
  THandle OpenDirectory(const std::string& dir) override {
    const THandle h = PosixDisk::OpenDirectory(dir);
    Watch(0);
    return h;
  }

 private:
  int Watch(int result) {
    mostOpen = std::max(mostOpen, OpenDescriptors());
    return result;
  }
};

class PosixDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    root = fs::temp_directory_path() / ("velmaron-disk-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "tree");
    fs::create_directories(root / "outside");
  }
  void TearDown() override { fs::remove_all(root); }

  static void SetTime(const fs::path& p, std::time_t t) {
    const timespec times[2] = {{t, 0}, {t, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << p;
  }
  static std::time_t MTime(const fs::path& p) {
    struct stat st;
    EXPECT_EQ(lstat(p.c_str(), &st), 0) << p;
    return st.st_mtime;
  }
  static void MakeFile(const fs::path& p, std::time_t t) {
    std::ofstream(p) << "x";
    SetTime(p, t);
  }

  fs::path root;
  RecordingConsole console;
};

constexpr std::time_t k2001 = 978307200;  // 2001-01-01 00:00:00 UTC
constexpr std::time_t k2010 = 1262304000; // 2010-01-01 00:00:00 UTC

TEST_F(PosixDiskTest, DeepTreesKeepABoundedNumberOfDescriptors) {
  fs::path deepest = root / "tree";
  for (int i = 0; i < 300; ++i) deepest /= "d";
  fs::create_directories(deepest);
  MakeFile(deepest / "leaf", k2001 + 1);  // an odd second, set as the even one below
  WatchedDisk disk(8);
  TouchDirectory(disk, console, (root / "tree").string(), true, false, MaxStamp);
  EXPECT_LE(disk.mostOpen, 8u + 2u);
  EXPECT_EQ(console.output, "");
  for (fs::path p = deepest; p != root; p = p.parent_path()) EXPECT_EQ(MTime(p), k2001) << p;
}

TEST_F(PosixDiskTest, LinksAreNeverEnteredButTheirOwnTimesCount) {
  fs::create_directories(root / "tree" / "sub");
  MakeFile(root / "outside" / "old", k2001);
  SetTime(root / "outside", k2010);
  fs::create_directory_symlink(root / "outside", root / "tree" / "link");
  SetTime(root / "tree" / "link", k2010 - 7200);
  MakeFile(root / "tree" / "sub" / "f", k2010);
  PosixDisk disk;
  TouchDirectory(disk, console, (root / "tree").string(), true, false, MaxStamp);
  EXPECT_EQ(MTime(root / "tree"), k2010 - 7200);
  EXPECT_EQ(MTime(root / "outside"), k2010);
  EXPECT_EQ(MTime(root / "tree" / "link"), k2010 - 7200);
}

TEST_F(PosixDiskTest, ADirectorySwappedForALinkDuringTheWalkIsPassedOver) {
  fs::create_directories(root / "tree" / "a" / "b");
  MakeFile(root / "tree" / "a" / "b" / "f", k2001);
  SetTime(root / "outside", k2010);
  WatchedDisk disk;
  disk.beforeSearch = [&](const std::string& dir) {
    if (dir != (root / "tree" / "a").string()) return;
    fs::rename(root / "tree" / "a", root / "tree" / "moved");
    fs::create_directory_symlink(root / "outside", root / "tree" / "a");
  };
  TouchDirectory(disk, console, (root / "tree").string(), true, false, EncodeDate(2005, 5, 5));
  EXPECT_EQ(MTime(root / "outside"), k2010);
  EXPECT_EQ(console.output, "");
}

TEST_F(PosixDiskTest, SettingNoDateFailsWithEinvalAndTouchesNothing) {
  SetTime(root / "tree", k2010);
  PosixDisk disk;
  TouchDirectory(disk, console, (root / "tree").string(), false, false, MaxStamp);
  EXPECT_EQ(console.output, "Error 22\r\n");
  EXPECT_EQ(MTime(root / "tree"), k2010);
}

TEST_F(PosixDiskTest, ANamedPlainFileIsSetLikeADirectoryAndAccessTimesStay) {
  MakeFile(root / "plain", k2001);
  PosixDisk disk;
  TouchDirectory(disk, console, (root / "plain").string(), true, false, EncodeDate(2010, 1, 1));
  EXPECT_EQ(console.output, "");
  struct stat st;
  ASSERT_EQ(stat((root / "plain").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, k2010);
  EXPECT_EQ(st.st_atime, k2001);
}

TEST_F(PosixDiskTest, EntriesOutsideTheDosRangeCountForNeitherEnd) {
  MakeFile(root / "tree" / "ancient", 0);             // 1970
  MakeFile(root / "tree" / "future", 4102444800 * 2);  // long after 2107
  MakeFile(root / "tree" / "normal", k2010);
  PosixDisk disk;
  for (const bool newest : {false, true}) {
    TouchDirectory(disk, console, (root / "tree").string(), false, newest, MaxStamp);
    EXPECT_EQ(MTime(root / "tree"), k2010) << newest;
  }
}

}  // namespace
}  // namespace velmaron
