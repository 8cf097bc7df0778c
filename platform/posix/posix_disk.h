// The POSIX file system behind the engine's seam. Directories are reached
// relative to their parent's descriptor without following links, each is
// listed once in the order of the search, and only a bounded window of
// descriptors stays open however deep the tree.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/disk_interface.h"

namespace velmaron {

class PosixDisk : public DiskInterface {
 public:
  // maxOpenLevels: how many directory descriptors below the named one stay open.
  explicit PosixDisk(std::size_t maxOpenLevels = 16);
  ~PosixDisk() override;
  PosixDisk(const PosixDisk&) = delete;
  PosixDisk& operator=(const PosixDisk&) = delete;

  int FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes times, TSearchRec& rec) override;
  int FindNext(TSearchRec& rec) override;
  void FindClose(TSearchRec& rec) override;
  std::string ChildPath(const std::string& dir, const std::string& name) const override;
  THandle OpenDirectory(const std::string& dir) override;
  int SetLastWriteTime(THandle handle, TDosDate date) override;
  std::uint32_t LastError() const override;
  void CloseHandle(THandle handle) override;

  // Descriptors this object holds right now (for tests of the bound).
  std::size_t OpenDescriptors() const;

 private:
  struct Entry {
    std::string name;
    unsigned char type;  // a d_type value; DT_UNKNOWN asks for an lstat
  };
  using Listing = std::vector<Entry>;
  struct Level {
    std::string path;  // as the engine names it
    std::string name;  // the last component, to reopen it from its parent
    int fd = -1;       // -1 while closed to keep descriptors bounded
    dev_t dev = 0;
    ino_t ino = 0;
    std::shared_ptr<const Listing> listing;
  };
  struct Search {
    std::string path;
    std::shared_ptr<const Listing> listing;
    std::size_t next = 0;
    std::uint32_t attrs = 0;
    EntryTimes times = EntryTimes::Skip;
  };
  struct Handle {
    std::string path;
    int pathFd = -1;  // for a named path that is no directory
    bool inUse = false;
  };

  Level* Locate(const std::string& path);
  Level* OpenRoot(const std::string& path);
  Level* PushChild(std::size_t parent, const std::string& path);
  bool EnsureOpen(std::size_t depth);
  bool ReopenFromChild(std::size_t depth);
  bool ReopenFromAncestor(std::size_t depth);
  void PopTo(std::size_t depth);
  void TrimOpenLevels();
  void CloseLevel(Level& level);
  bool ReadListing(Level& level);
  bool Advance(Search& search, TSearchRec& rec);
  int Fail(int error);

  std::size_t maxOpenLevels_;
  std::vector<Level> levels_;
  std::vector<std::unique_ptr<Search>> searches_;
  std::vector<Handle> handles_;
  int lastError_ = 0;
};

}  // namespace velmaron
