// The directory engine's file system on Windows: the ANSI find functions for
// the listing, a backup-semantics handle for setting a directory's time.
#include <windows.h>

#include <map>
#include <memory>
#include <string>

#include "platform/disk_interface.h"

namespace velmaron {

namespace {

constexpr std::uint32_t kSearchHiddenBits = faHidden | faSysFile | faDirectory;

// Hidden, system and directory entries only come when their bit was asked for.
bool Qualifies(std::uint32_t entryAttr, std::uint32_t wanted) {
  return (entryAttr & kSearchHiddenBits & ~wanted) == 0;
}

// The local DOS time of a file time; kNoEntryTime when it cannot be packed
// (before 1980 or after 2107 once made local).
TDosDate LocalDosTime(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME fields;
  WORD date = 0, time = 0;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &fields)) {
    return kNoEntryTime;
  }
  // Checked here because not every implementation of FileTimeToDosDateTime
  // refuses such years; some wrap the year field into a false date instead.
  if (fields.wYear < 1980 || fields.wYear > 2107 || !FileTimeToDosDateTime(&local, &date, &time)) {
    return kNoEntryTime;
  }
  return (static_cast<TDosDate>(date) << 16) | time;
}

void Fill(const WIN32_FIND_DATAA& data, TSearchRec& rec) {
  rec.Name = data.cFileName;
  rec.Attr = data.dwFileAttributes;
  rec.Time = LocalDosTime(data.ftLastWriteTime);
}

// A failure whose error code got lost still has to read as a failure.
int ErrorOf(DWORD code) { return code != 0 ? static_cast<int>(code) : ERROR_GEN_FAILURE; }

class Win32Disk final : public DiskInterface {
 public:
  ~Win32Disk() override {
    for (const auto& search : searches_) ::FindClose(reinterpret_cast<HANDLE>(search.first));
  }

  int FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes, TSearchRec& rec) override {
    // The times come with every entry of the find data, so they are always filled.
    const std::string pattern = dir.empty() ? std::string("*.*") : dir + "\\*.*";
    WIN32_FIND_DATAA data;
    const HANDLE handle = FindFirstFileA(pattern.c_str(), &data);
    if (handle == INVALID_HANDLE_VALUE) {
      rec.Handle = -1;
      return ErrorOf(GetLastError());
    }
    rec.Handle = reinterpret_cast<std::intptr_t>(handle);
    searches_[rec.Handle] = attrs;
    if (Qualifies(data.dwFileAttributes, attrs)) {
      Fill(data, rec);
      return 0;
    }
    const int result = FindNext(rec);
    if (result != 0) {
      // Nothing qualified: the caller gets no search to close.
      const DWORD code = GetLastError();
      FindClose(rec);
      SetLastError(code);
    }
    return result;
  }

  int FindNext(TSearchRec& rec) override {
    const auto search = searches_.find(rec.Handle);
    if (search == searches_.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return ERROR_INVALID_HANDLE;
    }
    WIN32_FIND_DATAA data;
    while (FindNextFileA(reinterpret_cast<HANDLE>(rec.Handle), &data)) {
      if (Qualifies(data.dwFileAttributes, search->second)) {
        Fill(data, rec);
        return 0;
      }
    }
    return ErrorOf(GetLastError());
  }

  void FindClose(TSearchRec& rec) override {
    // Looked up rather than trusted, so a second close (or one on a copy of
    // rec) never hands the system a stale handle.
    const auto search = searches_.find(rec.Handle);
    if (search != searches_.end()) {
      ::FindClose(reinterpret_cast<HANDLE>(search->first));
      searches_.erase(search);
    }
    rec.Handle = -1;
  }

  std::string ChildPath(const std::string& dir, const std::string& name) const override {
    return dir + "\\" + name;
  }

  THandle OpenDirectory(const std::string& dir) override {
    // Write access for SetFileTime; backup semantics is what lets CreateFile
    // open a directory at all; sharing so that others may keep it open.
    const HANDLE handle =
        CreateFileA(dir.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return -1;
    return reinterpret_cast<THandle>(handle);
  }

  int SetLastWriteTime(THandle handle, TDosDate date) override {
    // 0 packs no date at all; refuse it before anything is changed.
    if (date == 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR_INVALID_PARAMETER;
    }
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(static_cast<WORD>(date >> 16), static_cast<WORD>(date & 0xFFFF),
                               &local) ||
        !LocalFileTimeToFileTime(&local, &utc) ||
        !SetFileTime(reinterpret_cast<HANDLE>(handle), nullptr, nullptr, &utc)) {
      return ErrorOf(GetLastError());
    }
    return 0;
  }

  std::uint32_t LastError() const override { return GetLastError(); }

  void CloseHandle(THandle handle) override {
    if (handle > 0) ::CloseHandle(reinterpret_cast<HANDLE>(handle));
  }

 private:
  std::map<std::intptr_t, std::uint32_t> searches_;  // open find handle -> asked attributes
};

}  // namespace

std::unique_ptr<DiskInterface> OpenDisk() { return std::make_unique<Win32Disk>(); }

}  // namespace velmaron
