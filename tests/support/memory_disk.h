// An in-memory file system for engine and front-end tests: entries come back
// in the order they were added, and failures can be injected per path.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/disk_interface.h"

namespace velmaron::testing {

class MemoryDisk : public DiskInterface {
 public:
  struct Node {
    std::uint32_t attr = faArchive;
    TDosDate time = 0;
    std::vector<std::string> children;  // names, in the order of the search
  };

  // Adds a directory or file at "a/b/c"; its parent must exist (the root "" does).
  void AddDir(const std::string& path, TDosDate time, std::uint32_t extraAttr = 0);
  void AddFile(const std::string& path, TDosDate time, std::uint32_t extraAttr = 0);

  void FailSearch(const std::string& path) { searchFails_.insert(path); }
  void FailOpen(const std::string& path) { openFails_.insert(path); }
  void FailSet(const std::string& path, std::uint32_t error) { setErrors_[path] = error; }

  // The times set, in order: "path=date".
  const std::vector<std::string>& SetLog() const { return setLog_; }
  TDosDate TimeOf(const std::string& path) const { return nodes_.at(path).time; }
  int OpenSearches() const { return openSearches_; }
  int OpenHandles() const { return static_cast<int>(handles_.size()); }

  int FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes times, TSearchRec& rec) override;
  int FindNext(TSearchRec& rec) override;
  void FindClose(TSearchRec& rec) override;
  std::string ChildPath(const std::string& dir, const std::string& name) const override;
  THandle OpenDirectory(const std::string& dir) override;
  int SetLastWriteTime(THandle handle, TDosDate date) override;
  std::uint32_t LastError() const override { return lastError_; }
  void CloseHandle(THandle handle) override;

 private:
  struct Search {
    std::string dir;
    std::size_t next;
    std::uint32_t attrs;
  };
  void Add(const std::string& path, std::uint32_t attr, TDosDate time);
  bool Advance(Search& search, TSearchRec& rec);

  std::map<std::string, Node> nodes_{{"", Node{faDirectory, 0, {}}}};
  std::set<std::string> searchFails_, openFails_;
  std::map<std::string, std::uint32_t> setErrors_;
  std::map<std::intptr_t, Search> searches_;
  std::map<THandle, std::string> handles_;
  std::vector<std::string> setLog_;
  std::intptr_t nextId_ = 1;
  int openSearches_ = 0;
  std::uint32_t lastError_ = 0;
};

}  // namespace velmaron::testing
