#include "support/memory_disk.h"

namespace velmaron::testing {
namespace {

std::string ParentOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The platform's rule: hidden, system and directory entries only when asked for.
bool Qualifies(std::uint32_t attr, std::uint32_t asked) {
  for (const std::uint32_t bit : {faHidden, faSysFile, faDirectory}) {
    if ((attr & bit) != 0 && (asked & bit) == 0) return false;
  }
  return true;
}

constexpr std::uint32_t kNotFound = 18;    // no more files
constexpr std::uint32_t kBadHandle = 6;

}  // namespace

void MemoryDisk::Add(const std::string& path, std::uint32_t attr, TDosDate time) {
  nodes_.at(ParentOf(path)).children.push_back(NameOf(path));
  nodes_[path] = Node{attr, time, {}};
}

void MemoryDisk::AddDir(const std::string& path, TDosDate time, std::uint32_t extraAttr) {
  Add(path, faDirectory | extraAttr, time);
}

void MemoryDisk::AddFile(const std::string& path, TDosDate time, std::uint32_t extraAttr) {
  Add(path, faArchive | extraAttr, time);
}

std::string MemoryDisk::ChildPath(const std::string& dir, const std::string& name) const {
  return dir.empty() ? name : dir + "/" + name;
}

bool MemoryDisk::Advance(Search& search, TSearchRec& rec) {
  const Node& dir = nodes_.at(search.dir);
  // "." and ".." come first, as a real search delivers them.
  static const char* const kDots[] = {".", ".."};
  while (search.next < dir.children.size() + 2) {
    const std::size_t i = search.next++;
    if (i < 2) {
      rec.Name = kDots[i];
      rec.Attr = faDirectory;
      rec.Time = dir.time;
      return true;
    }
    const std::string& name = dir.children[i - 2];
    const Node& node = nodes_.at(ChildPath(search.dir, name));
    if (!Qualifies(node.attr, search.attrs)) continue;
    rec.Name = name;
    rec.Attr = node.attr;
    rec.Time = node.time;
    return true;
  }
  return false;
}

int MemoryDisk::FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes, TSearchRec& rec) {
  rec.Handle = -1;
  const auto node = nodes_.find(dir);
  if (node == nodes_.end() || (node->second.attr & faDirectory) == 0 || searchFails_.count(dir)) {
    return static_cast<int>(lastError_ = 3);
  }
  Search search{dir, 0, attrs};
  if (!Advance(search, rec)) return static_cast<int>(lastError_ = kNotFound);
  rec.Handle = nextId_++;
  searches_[rec.Handle] = search;
  ++openSearches_;
  return 0;
}

int MemoryDisk::FindNext(TSearchRec& rec) {
  const auto search = searches_.find(rec.Handle);
  if (search == searches_.end()) return static_cast<int>(lastError_ = kBadHandle);
  return Advance(search->second, rec) ? 0 : static_cast<int>(lastError_ = kNotFound);
}

void MemoryDisk::FindClose(TSearchRec& rec) {
  if (searches_.erase(rec.Handle) != 0) --openSearches_;
  rec.Handle = -1;
}

THandle MemoryDisk::OpenDirectory(const std::string& dir) {
  if (!nodes_.count(dir) || openFails_.count(dir)) {
    lastError_ = 2;
    return -1;
  }
  const THandle handle = nextId_++;
  handles_[handle] = dir;
  return handle;
}

int MemoryDisk::SetLastWriteTime(THandle handle, TDosDate date) {
  const auto open = handles_.find(handle);
  if (open == handles_.end()) return static_cast<int>(lastError_ = kBadHandle);
  const std::string& path = open->second;
  if (const auto error = setErrors_.find(path); error != setErrors_.end()) {
    return static_cast<int>(lastError_ = error->second);
  }
  // As the real platforms do, no date (0) is refused with "invalid parameter".
  if (date == 0) return static_cast<int>(lastError_ = 87);
  nodes_.at(path).time = date;
  setLog_.push_back(path + "=" + std::to_string(date));
  return 0;
}

void MemoryDisk::CloseHandle(THandle handle) { handles_.erase(handle); }

}  // namespace velmaron::testing
