// The run's files: inputs read from disk or memory, and images written
// whole or not at all, through a new file that is put in the image's place.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "romimage/romfile.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// ---- The platform's calls ------------------------------------------------------
//
// Files are descriptors, not streams: every transfer is already a block, and
// an image's place must be looked at without being created or truncated,
// which stdio cannot ask for. Bytes pass untranslated.

#ifdef _WIN32
using Status = struct _stat64;
std::string PathOf(const Run& run, const std::string& name) { return run.prefix + name; }
int OpenForReading(const Run& run, const std::string& name) {
  return _open(PathOf(run, name).c_str(), _O_RDONLY | _O_BINARY);
}
// Opens an image's place for writing without creating or truncating it, to
// learn whether it is there and may be written.
int Probe(const Run& run, const std::string& name) {
  return _open(PathOf(run, name).c_str(), _O_WRONLY | _O_BINARY);
}
int OpenInPlace(const Run& run, const std::string& name) {
  return _open(PathOf(run, name).c_str(), _O_WRONLY | _O_TRUNC | _O_BINARY);
}
int CreateNew(const Run& run, const std::string& path) {
  return _open(PathOf(run, path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long ReadFile(int fd, unsigned char* buffer, std::size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(size));
}
long WriteFile(int fd, const unsigned char* buffer, std::size_t size) {
  return _write(fd, buffer, static_cast<unsigned>(size));
}
bool SeekFile(int fd, std::uint64_t offset) {
  return _lseeki64(fd, static_cast<long long>(offset), SEEK_SET) >= 0;
}
int CloseFile(int fd) { return _close(fd); }
// _commit is FlushFileBuffers on the file's handle.
int SyncFile(int fd) { return _commit(fd); }
void KeepMode(int, const Status&) {}  // Windows keeps no permission bits to carry over
bool IsRegular(int fd, Status* status) {
  return _fstat64(fd, status) != 0 || (status->st_mode & _S_IFREG) != 0;
}

// The reasons that MoveFileEx gives, as the C library's numbers.
int ErrnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:  // another program holds the image open
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_WRITE_PROTECT:
      return EROFS;
    default:
      return EIO;
  }
}
// Replaces the old image in one step, and returns once the move is on disk.
int Rename(const Run& run, const std::string& from, const std::string& to) {
  if (MoveFileExA(PathOf(run, from).c_str(), PathOf(run, to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0)
    return 0;
  errno = ErrnoOf(GetLastError());
  return -1;
}
void Remove(const Run& run, const std::string& path) { (void)_unlink(PathOf(run, path).c_str()); }
// MOVEFILE_WRITE_THROUGH has already made the move durable.
int SyncFolderOf(const Run&, const std::string&) { return 0; }
// Windows' own file systems ignore case already, and its links are left to it.
std::vector<std::string> MatchesIgnoringCase(const Run&, const std::string&) { return {}; }
std::string FinalPath(const Run&, const std::string& name) { return name; }
unsigned ProcessNumber() { return static_cast<unsigned>(GetCurrentProcessId()); }
#else
int OpenForReading(const Run& run, const std::string& name) {
  return openat(run.folder, name.c_str(), O_RDONLY | O_CLOEXEC);
}
// Opens an image's place for writing without creating or truncating it, to
// learn whether it is there and may be written; a named pipe with no reader
// answers at once (ENXIO) rather than waiting.
int Probe(const Run& run, const std::string& name) {
  return openat(run.folder, name.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
int OpenInPlace(const Run& run, const std::string& name) {
  return openat(run.folder, name.c_str(), O_WRONLY | O_TRUNC | O_NOCTTY | O_CLOEXEC);
}
int CreateNew(const Run& run, const std::string& path) {
  return openat(run.folder, path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
}
long ReadFile(int fd, unsigned char* buffer, std::size_t size) { return read(fd, buffer, size); }
long WriteFile(int fd, const unsigned char* buffer, std::size_t size) { return write(fd, buffer, size); }
bool SeekFile(int fd, std::uint64_t offset) { return lseek(fd, static_cast<off_t>(offset), SEEK_SET) >= 0; }
int CloseFile(int fd) { return close(fd); }
int SyncFile(int fd) { return fsync(fd); }
using Status = struct stat;
// The new image keeps the old one's permission bits. Not being allowed to
// (another user's image in a shared folder) leaves the default, as a new
// image gets, and is no reason to lose the run.
void KeepMode(int fd, const Status& old) { (void)fchmod(fd, old.st_mode & 07777); }
bool IsRegular(int fd, Status* status) { return fstat(fd, status) != 0 || S_ISREG(status->st_mode); }
int Rename(const Run& run, const std::string& from, const std::string& to) {
  return renameat(run.folder, from.c_str(), run.folder, to.c_str());
}
void Remove(const Run& run, const std::string& path) { (void)unlinkat(run.folder, path.c_str(), 0); }
unsigned ProcessNumber() { return static_cast<unsigned>(getpid()); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The rename is durable only once the folder that holds it is synced. A file
// system that cannot sync a folder (EINVAL) has nothing more to make durable.
int SyncFolderOf(const Run& run, const std::string& path) {
  const std::string folder = FolderOf(path);
  const int fd =
      openat(run.folder, folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  int synced = fsync(fd);
  if (synced != 0 && errno == EINVAL) synced = 0;
  const int error = errno;
  (void)close(fd);  // only read: nothing is lost
  errno = error;
  return synced;
}

// The file that name finally stands for, through any symbolic links, so that
// the link stays and its target is replaced. A name that is no link, or
// whose link cannot be read, stands for itself.
std::string FinalPath(const Run& run, const std::string& name) {
  std::string path = name;
  for (int hops = 0; hops < 40; ++hops) {  // as the kernel's own limit for a loop of links
    std::vector<char> target(4096);
    const ssize_t length = readlinkat(run.folder, path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= target.size()) return path;
    // A relative target is found from the link's own folder.
    std::string next = target[0] == '/' ? std::string() : FolderOf(path);
    next.append(target.data(), static_cast<std::size_t>(length));
    path = std::move(next);
  }
  return path;
}

// Only A to Z fold onto a to z, as the switch is compared: no locale can
// make two other names the same.
bool SameButForCase(const char* a, const char* b) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (; *a != '\0' && *b != '\0'; ++a, ++b)
    if (fold(*a) != fold(*b)) return false;
  return *a == *b;
}

struct CloseFolder {
  void operator()(DIR* dir) const { (void)closedir(dir); }  // only read: nothing is lost
};

// The entries of path's folder (in the run's folder) whose names differ from
// path's only in ASCII case, the exact name among them if it is there, as
// paths, in order.
std::vector<std::string> MatchesIgnoringCase(const Run& run, const std::string& path) {
  const std::string prefix = FolderOf(path);
  const std::string name = path.substr(prefix.size());
  std::vector<std::string> matches;
  const int fd =
      openat(run.folder, prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return matches;
  // fdopendir owns fd from here, and closedir closes it.
  const std::unique_ptr<DIR, CloseFolder> dir(fdopendir(fd));
  if (dir == nullptr) {
    (void)close(fd);  // only read: nothing is lost
    return matches;
  }
  while (const dirent* entry = readdir(dir.get()))
    if (SameButForCase(entry->d_name, name.c_str())) matches.push_back(prefix + entry->d_name);
  std::sort(matches.begin(), matches.end());
  return matches;
}
#endif

// ---- Finding a name --------------------------------------------------------------

// Opens name with open(run, name); where it is missing, the one entry that
// differs from it only in case, whose name then replaces *name. -1 with errno
// set when nothing is opened; two or more entries are reported here.
template <typename Open>
int OpenIgnoringCase(Run& run, std::string* name, Attempt attempt, Open open) {
  errno = 0;
  int fd = open(run, *name);
  if (fd >= 0 || errno != ENOENT) return fd;
  std::vector<std::string> matches = MatchesIgnoringCase(run, *name);
  if (matches.size() > 1) {
    Diagnostic d{Diagnostic::kAmbiguousName, *name};
    d.attempt = attempt;
    d.matches = std::move(matches);
    run.Report(d);
    errno = 0;
    return -2;  // reported
  }
  errno = ENOENT;
  if (matches.size() == 1 && matches[0] != *name) {
    *name = matches[0];
    fd = open(run, *name);
  }
  return fd;
}

// A descriptor owned for the length of one scope. Only a failure path
// leaves it open to the destructor, and that failure is already reported.
// Close() on the success path is checked: NFS and disk quotas report a
// delayed write's error there, after every write has succeeded.
class OwnedFile {
 public:
  explicit OwnedFile(int fd) : fd_(fd) {}
  ~OwnedFile() { Discard(); }
  OwnedFile(const OwnedFile&) = delete;
  OwnedFile& operator=(const OwnedFile&) = delete;

  int Get() const { return fd_; }
  // false, with errno set, when the system reports a failure.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
    return CloseFile(fd) == 0;
  }
  // Closes a file whose contents no longer matter.
  void Discard() {
    if (fd_ >= 0) (void)CloseFile(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// ---- Inputs ----------------------------------------------------------------------

class DiskInput : public RomInput {
 public:
  DiskInput(Run& run, std::string name, int fd) : RomInput(run, std::move(name)), file_(fd) {}

  // As fread does, fewer bytes than asked only at the end of the file: a
  // pipe that delivers a block in parts still fills it.
  bool Read(unsigned char* buffer, std::size_t size, std::size_t* got) override {
    *got = 0;
    while (*got < size) {
      errno = 0;
      const long n = ReadFile(file_.Get(), buffer + *got, size - *got);
      if (n < 0) {
        ReportFailure(run_, name_, Attempt::kRead, errno);
        return false;
      }
      if (n == 0) break;
      *got += static_cast<std::size_t>(n);
    }
    return true;
  }

  bool Seek(std::uint64_t offset) override {
    errno = 0;
    if (SeekFile(file_.Get(), offset)) return true;
    ReportFailure(run_, name_, Attempt::kSeek, errno);
    return false;
  }

  bool Close() override {
    if (file_.Close()) return true;
    ReportFailure(run_, name_, Attempt::kClose, errno);
    return false;
  }

  int Descriptor() const override { return file_.Get(); }

 private:
  OwnedFile file_;
};

class MemoryInput : public RomInput {
 public:
  MemoryInput(Run& run, std::string name, const std::string& bytes)
      : RomInput(run, std::move(name)), bytes_(bytes) {}

  bool Read(unsigned char* buffer, std::size_t size, std::size_t* got) override {
    *got = position_ < bytes_.size() ? std::min(size, bytes_.size() - position_) : 0;
    std::memcpy(buffer, bytes_.data() + std::min(position_, bytes_.size()), *got);
    position_ += *got;
    return true;
  }
  bool Seek(std::uint64_t offset) override {
    position_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return true;
  }
  bool Close() override { return true; }

 private:
  const std::string& bytes_;
  std::size_t position_ = 0;
};

// ---- Images ----------------------------------------------------------------------

// Writes every byte, or reports the failure.
bool WriteAll(Run& run, const std::string& name, int fd, const unsigned char* buffer, std::size_t size) {
  while (size > 0) {
    errno = 0;
    const long n = WriteFile(fd, buffer, size);
    if (n <= 0) {
      ReportFailure(run, name, Attempt::kWrite, errno);
      return false;
    }
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// An image written into a new file beside the one it replaces, at path (the
// final target of the image's name).
class DiskImage : public RomImage {
 public:
  DiskImage(Run& run, std::string name, std::string path, std::string temporary, int fd)
      : RomImage(run, std::move(name)), path_(std::move(path)), temporary_(std::move(temporary)), file_(fd) {}
  ~DiskImage() override { Abandon(); }

  bool Write(const unsigned char* buffer, std::size_t size) override {
    return WriteAll(run_, name_, file_.Get(), buffer, size);
  }

  bool Commit() override {
    errno = 0;
    if (SyncFile(file_.Get()) != 0) return Fail(Attempt::kSync);
    if (!file_.Close()) return Fail(Attempt::kClose);
    errno = 0;
    if (Rename(run_, temporary_, path_) != 0) return Fail(Attempt::kRename);
    temporary_.clear();
    Made();
    // The new image is whole in its place now; only its durability across a
    // power cut is left to confirm.
    errno = 0;
    if (SyncFolderOf(run_, path_) != 0) return Fail(Attempt::kSync);
    return true;
  }

  int Descriptor() const override { return file_.Get(); }

 private:
  bool Fail(Attempt attempt) {
    ReportFailure(run_, name_, attempt, errno);
    Abandon();
    return false;
  }
  // Removes the new file, if it is still this run's own.
  void Abandon() {
    file_.Discard();
    if (!temporary_.empty()) Remove(run_, temporary_);
    temporary_.clear();
  }

  std::string path_;
  std::string temporary_;
  OwnedFile file_;
};

// A place that holds no regular file (a device, a named pipe) is written as
// it stands: there is no old image there to keep.
class StreamImage : public RomImage {
 public:
  StreamImage(Run& run, std::string name, int fd) : RomImage(run, std::move(name)), file_(fd) {}

  bool Write(const unsigned char* buffer, std::size_t size) override {
    return WriteAll(run_, name_, file_.Get(), buffer, size);
  }
  bool Commit() override {
    if (!file_.Close()) {
      ReportFailure(run_, name_, Attempt::kClose, errno);
      return false;
    }
    Made();
    return true;
  }
  int Descriptor() const override { return file_.Get(); }

 private:
  OwnedFile file_;
};

// In memory the image is a buffer until it is committed into the run's folder.
class MemoryImage : public RomImage {
 public:
  MemoryImage(Run& run, std::string name) : RomImage(run, std::move(name)) {}

  bool Write(const unsigned char* buffer, std::size_t size) override {
    bytes_.append(reinterpret_cast<const char*>(buffer), size);
    return true;
  }
  bool Commit() override {
    (*run_.memory)[name_] = std::move(bytes_);
    Made();
    return true;
  }

 private:
  std::string bytes_;
};

// The new file's name says whose it is and what it is for, and no run takes
// it for an image. Its six letters differ from one attempt to the next.
std::string TemporaryName(const std::string& path, std::uint64_t* seed) {
  *seed = *seed * 6364136223846793005u + 1442695040888963407u;
  const char* const letters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = path + ".quorvel-";
  std::uint64_t bits = *seed >> 16;
  for (int i = 0; i < 6; ++i, bits /= 36) name += letters[bits % 36];
  return name + ".tmp";
}

// Creates a new file beside path, under a name of its own; -1 with errno set.
int CreateTemporary(const Run& run, const std::string& path, std::string* temporary) {
  std::uint64_t seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (std::uint64_t{ProcessNumber()} << 32) ^ reinterpret_cast<std::uintptr_t>(temporary);
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporary = TemporaryName(path, &seed);
    errno = 0;
    const int fd = CreateNew(run, *temporary);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

void ReportFailure(Run& run, const std::string& file, Attempt attempt, int error) {
  Diagnostic d{Diagnostic::kFailure, file};
  d.attempt = attempt;
  d.error = error;
  run.Report(d);
}

void RomImage::Made() {
  if (std::find(run_.images.begin(), run_.images.end(), name_) == run_.images.end())
    run_.images.push_back(name_);
}

// The exact name costs one open, as it always did; the folder is read only
// when that name is missing. A folder in memory holds each file under the
// name asked for: the inputs are given by what they are, so no other case
// can stand for a name.
std::unique_ptr<RomInput> OpenRomInput(Run& run, const char* name) {
  if (run.memory != nullptr) {
    const auto found = run.memory->find(name);
    if (found != run.memory->end()) return std::make_unique<MemoryInput>(run, name, found->second);
    ReportFailure(run, name, Attempt::kOpenForReading, ENOENT);
    return nullptr;
  }
  std::string found = name;
  const int fd = OpenIgnoringCase(run, &found, Attempt::kOpenForReading, OpenForReading);
  if (fd >= 0) return std::make_unique<DiskInput>(run, found, fd);
  if (fd == -1) ReportFailure(run, found, Attempt::kOpenForReading, errno);
  return nullptr;
}

// The image's place is looked at first, so that one that cannot be written
// (a folder, a file that may not be written) fails as it always did, before
// anything new is made. An old image whose name differs in case is replaced
// under its own name rather than left beside a new one, as Windows does.
std::unique_ptr<RomImage> CreateRomImage(Run& run, const char* name) {
  if (run.memory != nullptr) return std::make_unique<MemoryImage>(run, name);
  std::string found = name;
  const int probe = OpenIgnoringCase(run, &found, Attempt::kCreate, Probe);
  if (probe == -2) return nullptr;
  const int error = errno;
  Status old{};
  const bool exists = probe >= 0;
  const bool regular = !exists || IsRegular(probe, &old);
  if (exists) (void)CloseFile(probe);  // opened only to look: nothing was written
  if (!exists && error != ENOENT && error != ENXIO) {
    ReportFailure(run, found, Attempt::kCreate, error);
    return nullptr;
  }
  errno = 0;
  if (!regular || error == ENXIO) {
    const int fd = OpenInPlace(run, found);
    if (fd >= 0) return std::make_unique<StreamImage>(run, found, fd);
    ReportFailure(run, found, Attempt::kCreate, errno);
    return nullptr;
  }
  const std::string path = FinalPath(run, found);
  std::string temporary;
  const int fd = CreateTemporary(run, path, &temporary);
  if (fd < 0) {
    ReportFailure(run, found, Attempt::kCreate, errno);
    return nullptr;
  }
  if (exists) KeepMode(fd, old);
  return std::make_unique<DiskImage>(run, found, path, temporary, fd);
}
