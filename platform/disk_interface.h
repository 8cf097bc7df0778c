// The file-system seam of the directory engine: one real implementation per
// platform, and an in-memory one for tests.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dos_date.h"

namespace velmaron {

inline constexpr std::uint32_t faReadOnly = 0x01;
inline constexpr std::uint32_t faHidden = 0x02;
inline constexpr std::uint32_t faSysFile = 0x04;
inline constexpr std::uint32_t faDirectory = 0x10;
inline constexpr std::uint32_t faArchive = 0x20;

// An entry's time that cannot be packed (outside 1980..2107 in local time).
inline constexpr TDosDate kNoEntryTime = 0;

struct TSearchRec {
  std::string Name;
  std::uint32_t Attr = 0;
  TDosDate Time = kNoEntryTime;  // filled only by searches that ask for times
  std::intptr_t Handle = -1;     // the platform's search state; -1 when closed
};

enum class EntryTimes { Skip, Read };

using THandle = std::intptr_t;

class DiskInterface {
 public:
  virtual ~DiskInterface() = default;
  // 0 and the first entry of dir that qualifies for attrs (hidden, system and
  // directory entries only when their bit is asked for) in rec; else nonzero.
  virtual int FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes times,
                        TSearchRec& rec) = 0;
  // 0 and the next qualifying entry in rec, nonzero at the end.
  virtual int FindNext(TSearchRec& rec) = 0;
  // Releases the search; closing twice is harmless.
  virtual void FindClose(TSearchRec& rec) = 0;
  // The path of the entry `name` inside dir.
  virtual std::string ChildPath(const std::string& dir, const std::string& name) const = 0;
  // A handle for changing dir's times: greater than 0, or 0 or less on failure.
  virtual THandle OpenDirectory(const std::string& dir) = 0;
  // Sets the last-write time from a local DOS date: 0, else the error code.
  virtual int SetLastWriteTime(THandle handle, TDosDate date) = 0;
  // The error code of the last failed operation.
  virtual std::uint32_t LastError() const = 0;
  // Releases an open handle.
  virtual void CloseHandle(THandle handle) = 0;
};

}  // namespace velmaron
