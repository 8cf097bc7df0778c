#include "engine/touch.h"

#include <cstdint>
#include <string>

#include "platform/dos_date.h"

namespace velmaron {
namespace {

// Closes a search on every way out, an EConvertError passing through included.
class SearchGuard {
 public:
  explicit SearchGuard(DiskInterface& disk) : disk_(disk) {}
  ~SearchGuard() { disk_.FindClose(rec); }
  SearchGuard(const SearchGuard&) = delete;
  SearchGuard& operator=(const SearchGuard&) = delete;
  TSearchRec rec;

 private:
  DiskInterface& disk_;
};

class HandleGuard {
 public:
  HandleGuard(DiskInterface& disk, THandle handle) : disk_(disk), handle_(handle) {}
  ~HandleGuard() { disk_.CloseHandle(handle_); }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;

 private:
  DiskInterface& disk_;
  THandle handle_;
};

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

void TouchSubdirectories(DiskInterface& disk, Console& console, const std::string& Dir,
                         bool Newest, TStamp Stamp) {
  SearchGuard search(disk);
  // A directory that cannot be searched simply has no subdirectories.
  if (disk.FindFirst(Dir, faDirectory, EntryTimes::Skip, search.rec) != 0) return;
  do {
    const TSearchRec& entry = search.rec;
    if (IsDotEntry(entry.Name) || (entry.Attr & faDirectory) == 0) continue;
    TouchDirectory(disk, console, disk.ChildPath(Dir, entry.Name), true, Newest, Stamp);
  } while (disk.FindNext(search.rec) == 0);
}

// Handles are compared as signed 32-bit numbers: the invalid value -1 and 0 fail.
bool IsValidHandle(THandle handle) { return static_cast<std::int32_t>(handle) > 0; }

void WriteError(Console& console, std::uint32_t code) {
  console.Write("Error ");
  console.Write(std::to_string(code));
  console.EndLine();
}

}  // namespace

void TouchDirectory(DiskInterface& disk, Console& console, const std::string& Dir, bool Recurse,
                    bool Newest, TStamp Stamp) {
  if (Recurse) TouchSubdirectories(disk, console, Dir, Newest, Stamp);

  const THandle handle = disk.OpenDirectory(Dir);
  if (!IsValidHandle(handle)) return;
  HandleGuard closeHandle(disk, handle);

  // The entry search runs after the recursion, so it sees the subdirectories'
  // new times.
  const TStamp T = (Stamp != MaxStamp) ? Stamp : ExtremeEntryStamp(disk, Dir, Newest);
  const TDosDate D = (T > 0) ? StampToDosDate(T) : 0;
  if (disk.SetLastWriteTime(handle, D) > 0) WriteError(console, disk.LastError());
}

TStamp ExtremeEntryStamp(DiskInterface& disk, const std::string& Dir, bool Newest) {
  const TStamp Start = Newest ? 0 : MaxStamp;
  TStamp Best = Start;
  SearchGuard search(disk);
  if (disk.FindFirst(Dir, faReadOnly | faDirectory | faArchive, EntryTimes::Read, search.rec) == 0) {
    do {
      const TSearchRec& entry = search.rec;
      // An entry time the platform could not express as a DOS date counts for
      // neither end, rather than dragging the directory to a false date.
      if (IsDotEntry(entry.Name) || entry.Time == kNoEntryTime) continue;
      const TStamp E = DosDateToStamp(entry.Time);
      if (Newest ? (E > Best) : (E < Best)) Best = E;
    } while (disk.FindNext(search.rec) == 0);
  }
  return (Best == Start) ? 0 : Best;
}

}  // namespace velmaron
