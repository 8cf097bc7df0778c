#include "platform/posix/posix_disk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/posix/local_time.h"

namespace velmaron {
namespace {

// Never blocks (a FIFO named by mistake), never follows a link swapped in
// below the named directory, and leaves the access time alone when allowed.
constexpr int kDirectoryFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

// Every directory on the way down holds its whole path (in the engine's frames,
// here and in its searches), so memory grows with the square of the depth: a
// chain of a few ten thousand one-letter directories, which any user can make,
// would take gigabytes. Paths beyond twice what the kernel takes in one call
// are passed over like directories that cannot be opened.
constexpr std::size_t kMaxPathLength = 2 * PATH_MAX;

int OpenDirectoryAt(int dirFd, const char* name, bool followLinks) {
  const int flags = kDirectoryFlags | (followLinks ? 0 : O_NOFOLLOW);
  int fd = openat(dirFd, name, flags | O_NOATIME);
  // O_NOATIME is only granted to the owner; others read without it.
  if (fd < 0 && errno == EPERM) fd = openat(dirFd, name, flags);
  return fd;
}

bool SameDirectory(int fd, dev_t dev, ino_t ino) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == dev && st.st_ino == ino;
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

PosixDisk::PosixDisk(std::size_t maxOpenLevels) : maxOpenLevels_(maxOpenLevels < 2 ? 2 : maxOpenLevels) {}

PosixDisk::~PosixDisk() {
  for (Level& level : levels_) CloseLevel(level);
  for (Handle& handle : handles_) {
    if (handle.pathFd >= 0) close(handle.pathFd);
  }
}

int PosixDisk::Fail(int error) {
  lastError_ = error != 0 ? error : EIO;
  return lastError_;
}

std::uint32_t PosixDisk::LastError() const { return static_cast<std::uint32_t>(lastError_); }

std::string PosixDisk::ChildPath(const std::string& dir, const std::string& name) const {
  return dir + "/" + name;
}

std::size_t PosixDisk::OpenDescriptors() const {
  std::size_t count = 0;
  for (const Level& level : levels_) count += level.fd >= 0;
  for (const Handle& handle : handles_) count += handle.pathFd >= 0;
  return count;
}

void PosixDisk::CloseLevel(Level& level) {
  if (level.fd >= 0) close(level.fd);
  level.fd = -1;
}

// The level of `path`: one already on the stack, a child of one on it (opened
// relative to its parent), or else a new named directory.
PosixDisk::Level* PosixDisk::Locate(const std::string& path) {
  if (path.size() > kMaxPathLength) {
    Fail(ENAMETOOLONG);
    return nullptr;
  }
  for (std::size_t depth = levels_.size(); depth-- > 0;) {
    const std::string& base = levels_[depth].path;
    if (path == base) {
      PopTo(depth);
      return EnsureOpen(depth) ? &levels_[depth] : nullptr;
    }
    if (path.size() > base.size() + 1 && path.compare(0, base.size(), base) == 0 &&
        path[base.size()] == '/' && path.find('/', base.size() + 1) == std::string::npos) {
      PopTo(depth);
      return PushChild(depth, path);
    }
  }
  return OpenRoot(path);
}

PosixDisk::Level* PosixDisk::OpenRoot(const std::string& path) {
  PopTo(0);
  if (!levels_.empty()) CloseLevel(levels_[0]);
  levels_.clear();
  // The named directory itself may be a link to a directory.
  const int fd = OpenDirectoryAt(AT_FDCWD, path.c_str(), true);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    Fail(errno);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  levels_.push_back(Level{path, path, fd, st.st_dev, st.st_ino, nullptr});
  return &levels_.back();
}

PosixDisk::Level* PosixDisk::PushChild(std::size_t parent, const std::string& path) {
  if (!EnsureOpen(parent)) return nullptr;
  std::string name = path.substr(levels_[parent].path.size() + 1);
  const int fd = OpenDirectoryAt(levels_[parent].fd, name.c_str(), false);
  struct stat st;
  if (fd < 0 || fstat(fd, &st) != 0) {
    Fail(errno);
    if (fd >= 0) close(fd);
    return nullptr;
  }
  levels_.push_back(Level{path, std::move(name), fd, st.st_dev, st.st_ino, nullptr});
  TrimOpenLevels();
  return &levels_.back();
}

// Leaves `depth` on top, reopening each ancestor on the way up from its child
// while the child is still open.
void PosixDisk::PopTo(std::size_t depth) {
  while (levels_.size() > depth + 1) {
    const std::size_t below = levels_.size() - 2;
    if (levels_[below].fd < 0) ReopenFromChild(below);
    CloseLevel(levels_.back());
    levels_.pop_back();
  }
}

bool PosixDisk::EnsureOpen(std::size_t depth) {
  if (levels_[depth].fd >= 0) return true;
  if (depth + 1 < levels_.size() && ReopenFromChild(depth)) return true;
  return ReopenFromAncestor(depth);
}

// ".." of an open child is its parent, provided it is still the directory we
// entered: a tree moved meanwhile is caught by the identity check.
bool PosixDisk::ReopenFromChild(std::size_t depth) {
  Level& level = levels_[depth];
  const int childFd = levels_[depth + 1].fd;
  if (childFd < 0) return false;
  const int fd = OpenDirectoryAt(childFd, "..", false);
  if (fd < 0) return false;
  if (!SameDirectory(fd, level.dev, level.ino)) {
    close(fd);
    return false;
  }
  level.fd = fd;
  TrimOpenLevels();
  return true;
}

bool PosixDisk::ReopenFromAncestor(std::size_t depth) {
  std::size_t open = depth;
  while (open > 0 && levels_[open].fd < 0) --open;
  if (levels_[open].fd < 0) {
    Fail(ENOENT);
    return false;
  }
  for (std::size_t d = open + 1; d <= depth; ++d) {
    Level& level = levels_[d];
    const int fd = OpenDirectoryAt(levels_[d - 1].fd, level.name.c_str(), false);
    if (fd < 0 || !SameDirectory(fd, level.dev, level.ino)) {
      Fail(fd < 0 ? errno : ENOENT);
      if (fd >= 0) close(fd);
      return false;
    }
    level.fd = fd;
  }
  TrimOpenLevels();
  return true;
}

// Keeps the named directory and the deepest levels open; the levels between
// are reopened from their child on the way back up.
void PosixDisk::TrimOpenLevels() {
  std::size_t open = 0;
  for (std::size_t d = levels_.size(); d-- > 1;) {
    if (levels_[d].fd < 0) continue;
    if (++open > maxOpenLevels_) CloseLevel(levels_[d]);
  }
}

bool PosixDisk::ReadListing(Level& level) {
  const int fd = dup(level.fd);
  DIR* dir = fd >= 0 ? fdopendir(fd) : nullptr;
  if (dir == nullptr) {
    Fail(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  rewinddir(dir);
  auto listing = std::make_shared<Listing>();
  errno = 0;
  while (const dirent* entry = readdir(dir)) {
    if (!IsDotOrDotDot(entry->d_name)) listing->push_back(Entry{entry->d_name, entry->d_type});
  }
  const int error = errno;
  closedir(dir);
  if (error != 0) {
    Fail(error);
    return false;
  }
  level.listing = std::move(listing);
  return true;
}

int PosixDisk::FindFirst(const std::string& dir, std::uint32_t attrs, EntryTimes times,
                         TSearchRec& rec) {
  rec.Handle = -1;
  Level* level = Locate(dir);
  if (level == nullptr) return lastError_;
  if (!level->listing && !ReadListing(*level)) return lastError_;
  auto search = std::make_unique<Search>(Search{dir, level->listing, 0, attrs, times});
  if (!Advance(*search, rec)) return Fail(ENOENT);
  std::size_t slot = 0;
  while (slot < searches_.size() && searches_[slot]) ++slot;
  if (slot == searches_.size()) searches_.emplace_back();
  searches_[slot] = std::move(search);
  rec.Handle = static_cast<std::intptr_t>(slot);
  return 0;
}

int PosixDisk::FindNext(TSearchRec& rec) {
  if (rec.Handle < 0 || static_cast<std::size_t>(rec.Handle) >= searches_.size() ||
      !searches_[rec.Handle]) {
    return Fail(EBADF);
  }
  return Advance(*searches_[rec.Handle], rec) ? 0 : Fail(ENOENT);
}

void PosixDisk::FindClose(TSearchRec& rec) {
  if (rec.Handle >= 0 && static_cast<std::size_t>(rec.Handle) < searches_.size()) {
    searches_[rec.Handle].reset();
  }
  rec.Handle = -1;
}

// The next entry that qualifies: hidden names (a leading ".") only when asked
// for, directories only when asked for. An entry's type and time are its own:
// a symbolic link is never a directory here.
bool PosixDisk::Advance(Search& search, TSearchRec& rec) {
  const Listing& listing = *search.listing;
  while (search.next < listing.size()) {
    const Entry& entry = listing[search.next++];
    const bool hidden = entry.name[0] == '.';
    if (hidden && (search.attrs & faHidden) == 0) continue;
    bool isDir = entry.type == DT_DIR;
    TDosDate time = kNoEntryTime;
    if (search.times == EntryTimes::Read || entry.type == DT_UNKNOWN) {
      Level* level = Locate(search.path);
      struct stat st;
      if (level == nullptr) return false;
      if (fstatat(level->fd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      isDir = S_ISDIR(st.st_mode);
      if (search.times == EntryTimes::Read) time = UtcToLocalDosDate(st.st_mtim.tv_sec);
    }
    if (isDir && (search.attrs & faDirectory) == 0) continue;
    rec.Name = entry.name;
    rec.Attr = (isDir ? faDirectory : faArchive) | (hidden ? faHidden : 0);
    rec.Time = time;
    return true;
  }
  return false;
}

THandle PosixDisk::OpenDirectory(const std::string& dir) {
  Handle handle{dir, -1, true};
  if (Locate(dir) == nullptr) {
    const bool isRoot = levels_.empty() || levels_[0].path == dir;
    if (!isRoot || lastError_ != ENOTDIR) return -1;
    // A named path that is no directory is still opened, like a directory,
    // through a descriptor that neither reads nor blocks.
    handle.pathFd = open(dir.c_str(), O_PATH | O_CLOEXEC);
    if (handle.pathFd < 0) {
      Fail(errno);
      return -1;
    }
  }
  std::size_t slot = 0;
  while (slot < handles_.size() && handles_[slot].inUse) ++slot;
  if (slot == handles_.size()) handles_.emplace_back();
  handles_[slot] = std::move(handle);
  return static_cast<THandle>(slot + 1);
}

int PosixDisk::SetLastWriteTime(THandle handle, TDosDate date) {
  if (handle <= 0 || static_cast<std::size_t>(handle) > handles_.size() ||
      !handles_[handle - 1].inUse) {
    return Fail(EBADF);
  }
  const Handle& open = handles_[handle - 1];
  std::time_t seconds = 0;
  // No date (0) or an impossible one fails before anything is touched.
  if (!LocalDosDateToUtc(date, seconds)) return Fail(EINVAL);
  const timespec times[2] = {{0, UTIME_OMIT}, {seconds, 0}};
  if (open.pathFd >= 0) {
    const std::string viaProc = "/proc/self/fd/" + std::to_string(open.pathFd);
    if (utimensat(AT_FDCWD, viaProc.c_str(), times, 0) == 0) return 0;
    if (errno != ENOENT) return Fail(errno);
    return utimensat(AT_FDCWD, open.path.c_str(), times, 0) == 0 ? 0 : Fail(errno);
  }
  Level* level = Locate(open.path);
  if (level == nullptr) return lastError_;
  return futimens(level->fd, times) == 0 ? 0 : Fail(errno);
}

void PosixDisk::CloseHandle(THandle handle) {
  if (handle <= 0 || static_cast<std::size_t>(handle) > handles_.size()) return;
  Handle& open = handles_[handle - 1];
  if (open.pathFd >= 0) close(open.pathFd);
  open = Handle{};
}

}  // namespace velmaron
